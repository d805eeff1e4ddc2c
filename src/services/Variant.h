#pragma once
// The loosely typed value that settings and registry values travel in:
// nothing (Empty), a whole number, text or an array of bytes.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tarnwick {

using Bytes = std::vector<unsigned char>;
using Variant = std::variant<std::monostate, long long, std::string, Bytes>;

inline bool IsEmpty(const Variant& v) { return std::holds_alternative<std::monostate>(v); }

// The standard conversion to text: digits (with a minus sign) for a whole
// number, text unchanged, Empty as the empty text.
inline std::string ToText(const Variant& v)
{
    if (const auto* n = std::get_if<long long>(&v))
        return std::to_string(*n);
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* b = std::get_if<Bytes>(&v))
        return std::string(b->begin(), b->end());
    return {};
}

inline Variant MakeVariant(std::int32_t n) { return Variant(static_cast<long long>(n)); }
inline Variant MakeVariant(long long n) { return Variant(n); }
inline Variant MakeVariant(std::string s) { return Variant(std::move(s)); }
inline Variant MakeVariant(const char* s) { return Variant(std::string(s)); }
inline Variant MakeVariant(Bytes b) { return Variant(std::move(b)); }

} // namespace tarnwick
