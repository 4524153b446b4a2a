#include "runtime/Exceptions.h"

#include "runtime/Format.h"
#include "runtime/Messages.h"

#include <utility>

namespace quorvane {

Exception::Exception(std::string message) : m_message(std::move(message)) {}

EInOutError::EInOutError(std::uint32_t errorCode)
    : Exception(MessageForCode(errorCode)), m_errorCode(errorCode)
{
}

std::string EInOutError::MessageForCode(std::uint32_t errorCode)
{
    switch (errorCode) {
    case 2: return messages::kFileNotFound;
    case 3: return messages::kInvalidFileName;
    case 4: return messages::kTooManyOpenFiles;
    case 5: return messages::kFileAccessDenied;
    default: return Format(messages::kInOutError, {std::to_string(errorCode)});
    }
}

}  // namespace quorvane
