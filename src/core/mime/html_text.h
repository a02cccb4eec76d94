#pragma once

// The text an HTML body shows, for printing a mail that has no plain text:
// tags dropped, entities decoded, block elements as line breaks.

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// The lines of the UTF-8 `html` as a reader sees them: the content of
// script, style, head and title left out; runs of blanks and line ends
// read as one blank (kept as they are inside <pre>); <br> a line break, and
// the start and end of a block element (p, div, li, tr, h1...) end the
// line that is open. Character references (&amp; &#x263A; ...) are
// decoded. Leading and trailing empty lines are dropped.
std::vector<std::string> HtmlToTextLines(std::string_view html);

// The charset an HTML text names in a <meta> tag near its start, or empty.
std::string HtmlMetaCharset(std::string_view html);

}  // namespace pelnor
