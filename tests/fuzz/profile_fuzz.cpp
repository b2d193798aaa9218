// Fuzzes the portable profile functions with arbitrary settings files: no crash, hang or
// sanitizer report, and a key just written always reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes/memory_file_store.h"
#include "platform/portable_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    tivora::platform::parseProfile(bytes);

    tivora::fakes::MemoryFileStore store;
    store.files["Settings.ini"] = bytes;
    tivora::platform::PortableProfile profile(store);
    std::u16string buffer(64, u'\0');
    profile.GetPrivateProfileStringW(u"Form_Main", u"Form_Main_Text_Hour", u"", buffer, u"Settings.ini");
    profile.GetPrivateProfileStringW(u"", u"x", u"default", buffer, u"Settings.ini");

    profile.WritePrivateProfileStringW(u"Form_Main", u"Form_Main_Text_Hour", u"7", u"Settings.ini");
    std::uint32_t count =
        profile.GetPrivateProfileStringW(u"form_main", u"FORM_MAIN_TEXT_HOUR", u"", buffer, u"Settings.ini");
    if (count != 1 || buffer[0] != u'7') {
        std::abort();  // a key just written must read back
    }
    return 0;
}
