// Text set into an HTML page.
#pragma once

#include <string>
#include <string_view>

namespace vandrel {

// "&", "<" and ">" as "&amp;", "&lt;" and "&gt;"; every other byte as it is.
// Byte-wise on CP932: no trail byte takes one of these three values.
std::string EscapeHtml(std::string_view text);

}  // namespace vandrel
