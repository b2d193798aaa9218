// Fuzzes the portable profile functions with arbitrary settings files: no crash, hang or
// sanitizer report, and a key just written always reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/portable_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    tivora::platform::parseProfile(bytes);

    tivora::platform::MemoryFileStore store;
    store.files["Settings.ini"] = bytes;
    tivora::platform::PortableProfile profile(store);
    std::string buffer(64, '\0');
    profile.GetPrivateProfileStringA("Form_Main", "Form_Main_Text_Hour", "", buffer, "Settings.ini");
    profile.GetPrivateProfileStringA("", "x", "default", buffer, "Settings.ini");

    profile.WritePrivateProfileStringA("Form_Main", "Form_Main_Text_Hour", "7", "Settings.ini");
    std::uint32_t count = profile.GetPrivateProfileStringA("form_main", "FORM_MAIN_TEXT_HOUR", "", buffer,
                                                           "Settings.ini");
    if (count != 1 || buffer[0] != '7') {
        std::abort();  // a key just written must read back
    }
    return 0;
}
