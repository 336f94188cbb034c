#pragma once

#include "FenkSDK/api/RequestParameters.h"
#include "FenkSDK/runtime/Data.h"

#include <string>
#include <string_view>

// Percent-encoding of the parts of a platform request. Text is encoded byte by byte, so UTF-8 text becomes
// one escape per byte; escapes use upper-case hexadecimal digits.
namespace fenk {

// A whole URL text, such as a base address with its own query: escapes what cannot stand in a URL (space,
// control and non-ASCII bytes, '#', quotes, brackets, a '%' that starts no valid escape) and keeps the URL's
// structure and the escapes already present, so encoding a text twice changes nothing.
std::string encodeUrlText(std::string_view text);

// One name or value of a query string. Beyond encodeUrlText it escapes '%', '&', '=' and '+', so that a
// value can neither end its parameter, start another one, nor turn into a space; a space becomes "%20".
std::string encodeQueryComponent(std::string_view text);

// One segment of a URL path: everything but unreserved characters and ":@!$&'()*+,;=" is escaped, '/' and
// '?' included, so the segment cannot reach into the next one or into the query.
std::string encodePathSegment(std::string_view text);

// One value of a form body: escapes ":/?@!$&'()*+,;=" and '%', turns spaces into '+' and leaves every other
// byte as it is (non-ASCII text travels as raw UTF-8).
std::string encodeFormValue(std::string_view text);

// One name or value of the user's extra text "name:value,name:value": escapes '%' and the two separators, so
// that no name or value can add a pair of its own.
std::string encodeExtraPiece(std::string_view text);

// The body of a form post: name=value pairs joined by '&', in order. Names are fixed words of the
// platform's interface and travel unencoded; values go through encodeFormValue.
Data formEncode(const RequestParameters& parameters);

}  // namespace fenk
