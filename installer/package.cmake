# CPack's External generator runs this with the program folder staged as the zip holds it: the
# installer is made from the same files.
set(staged "${CPACK_TEMPORARY_DIRECTORY}")
if(CPACK_SYSTEM_NAME MATCHES "64" OR CPACK_PACKAGE_FILE_NAME MATCHES "win64$")
    set(arch x64)
else()
    set(arch x86)
endif()
set(msi "${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi")
execute_process(
    COMMAND "${CPACK_TIVORA_SOURCE_DIR}/scripts/make-installer" "${staged}" "${CPACK_TIVORA_INSTALLER_ACTIONS}"
            "${msi}" "${CPACK_PACKAGE_VERSION}" ${arch}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "making the installer failed (${result})")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${msi}")
