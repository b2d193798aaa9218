// How the profile functions read a stored value back, the one rule of theirs the program itself
// relies on (a save checks what it wrote by it).
#include "platform/profile.h"

#include "base/text.h"

namespace tivora::platform {

std::string profileValueAsRead(std::string_view stored) {
    std::string_view value = trimBlanks(stored);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

}  // namespace tivora::platform
