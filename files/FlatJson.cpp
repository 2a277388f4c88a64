#include "files/FlatJson.h"

#include <cstdio>

namespace orven {

namespace {

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Take(char c) {
        SkipSpace();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool AtEnd() {
        SkipSpace();
        return at_ == text_.size();
    }
    // A string token; only the escapes FlatJsonLine writes and JSON's simple ones, \u00XX bytes.
    std::optional<std::string> String() {
        if (!Take('"')) return std::nullopt;
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') {
                if (at_ >= text_.size()) return std::nullopt;
                const char kind = text_[at_++];
                if (kind == 'u') {
                    unsigned value = 0;
                    if (at_ + 4 > text_.size() || std::sscanf(std::string(text_.substr(at_, 4)).c_str(), "%4x", &value) != 1 ||
                        value > 0xFF)
                        return std::nullopt;
                    at_ += 4;
                    c = static_cast<char>(value);
                } else if (kind == 'n') {
                    c = '\n';
                } else if (kind == 't') {
                    c = '\t';
                } else if (kind == '"' || kind == '\\' || kind == '/') {
                    c = kind;
                } else {
                    return std::nullopt;
                }
            } else if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            out += c;
        }
        if (at_ >= text_.size()) return std::nullopt;
        ++at_;
        return out;
    }

private:
    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r')) ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

std::string FlatJsonLine(const FlatFields& fields) {
    std::string out = "{";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ", ";
        AppendQuoted(out, fields[i].first);
        out += ": ";
        AppendQuoted(out, fields[i].second);
    }
    return out + "}";
}

std::optional<std::map<std::string, std::string>> ParseFlatJson(std::string_view line) {
    Reader in(line);
    if (!in.Take('{')) return std::nullopt;
    std::map<std::string, std::string> fields;
    if (in.Take('}')) return in.AtEnd() ? std::optional(fields) : std::nullopt;
    do {
        auto key = in.String();
        if (!key || !in.Take(':')) return std::nullopt;
        auto value = in.String();
        if (!value) return std::nullopt;
        fields[*key] = *value;
    } while (in.Take(','));
    if (!in.Take('}') || !in.AtEnd()) return std::nullopt;
    return fields;
}

}  // namespace orven
