#include "conversion/ConversionError.h"

#include "conversion/Text.h"

namespace tarvelin {

ConversionError::ConversionError(std::u16string message)
    : m_message(std::move(message)), m_utf8(toUtf8(m_message))
{
}

}  // namespace tarvelin
