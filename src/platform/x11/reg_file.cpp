#include "platform/x11/reg_file.h"

#include <cstdio>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// Control characters other than tab mean the line is not text (binary junk,
// a NUL-filled tail after a crash); such lines are never kept.
bool IsTextLine(std::string_view line)
{
    for (char c : line) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7f)
            return false;
    }
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "dword:" and exactly eight hex digits, nothing else but trailing blanks.
bool ParseDwordData(std::string_view data, uint32_t* value)
{
    data = TrimRight(TrimLeft(data));
    constexpr std::string_view kPrefix = "dword:";
    if (data.size() != kPrefix.size() + 8 ||
        !SameIgnoringCase(data.substr(0, kPrefix.size()), kPrefix))
        return false;
    uint32_t result = 0;
    for (char c : data.substr(kPrefix.size())) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    *value = result;
    return true;
}

// Reads a quoted value name at the start of line: backslash escapes the next
// character (export writes \\ and \"). Sets *rest to what follows the '='.
bool ParseValueName(std::string_view line, std::string* name, std::string_view* rest)
{
    if (line.empty() || line[0] != '"')
        return false;
    name->clear();
    size_t i = 1;
    for (;; ++i) {
        if (i >= line.size())
            return false; // no closing quote: the line was cut short
        const char c = line[i];
        if (c == '"')
            break;
        if (c == '\\') {
            if (i + 1 >= line.size())
                return false;
            const char next = line[i + 1];
            if (next == '\\' || next == '"') {
                name->push_back(next);
                ++i;
                continue;
            }
        }
        name->push_back(c);
    }
    std::string_view after = TrimLeft(line.substr(i + 1));
    if (after.empty() || after[0] != '=')
        return false;
    *rest = after.substr(1);
    return true;
}

std::string EscapeName(std::string_view name)
{
    std::string out;
    out.reserve(name.size() + 2);
    for (char c : name) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// The first line of a key section or of a value.
bool StartsEntry(std::string_view line)
{
    return !line.empty() && (line.front() == '[' || line.front() == '"' || line.front() == '@');
}

bool IsBlank(std::string_view line)
{
    return TrimRight(line).empty();
}

} // namespace

void RegFile::Parse(std::string_view text)
{
    sections_.clear();
    lineEnd_.assign(1, '\n');

    // Split into lines; a CR before the LF belongs to the line end.
    std::vector<std::string_view> lines;
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool hasEnd = end != std::string_view::npos;
        if (!hasEnd)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (first && hasEnd)
                lineEnd_ = "\r\n";
        }
        first = false;
        lines.push_back(line);
        start = end + 1;
    }

    Section* current = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (!IsTextLine(line))
            continue;
        const std::string_view trimmed = TrimRight(line);
        if (!trimmed.empty() && trimmed.front() == '[' && trimmed.back() == ']' &&
            trimmed.size() > 2) {
            Section section;
            section.header = std::string(line);
            section.path = std::string(trimmed.substr(1, trimmed.size() - 2));
            sections_.push_back(std::move(section));
            current = &sections_.back();
            continue;
        }
        if (!current)
            continue; // the REGEDIT4 line, blanks, or anything before the first key
        if (IsBlank(line) || line.front() == ';') {
            current->lines.push_back(Line{std::string(line), false, {}, {}});
            continue;
        }
        // A value, possibly continued over following lines by a trailing '\'
        // (long hex data). The pieces are kept together as one line. A key or a
        // value never continues a line, so a line cut after its '\' cannot
        // swallow the section or value that follows it.
        std::string whole(line);
        while (!TrimRight(whole).empty() && TrimRight(whole).back() == '\\' &&
               i + 1 < lines.size() && IsTextLine(lines[i + 1]) && !StartsEntry(lines[i + 1])) {
            ++i;
            whole += lineEnd_;
            whole += lines[i];
        }
        if (whole.front() == '@') {
            // The key's default value: never used here, kept as it is.
            current->lines.push_back(Line{std::move(whole), false, {}, {}});
            continue;
        }
        Line value;
        std::string_view rest;
        if (!ParseValueName(whole, &value.name, &rest))
            continue; // not a value line: junk, dropped
        value.named = true;
        value.data = std::string(rest);
        value.text = std::move(whole);
        current->lines.push_back(std::move(value));
    }
}

std::string RegFile::Serialize() const
{
    std::string out;
    out += kHeader;
    out += lineEnd_;
    out += lineEnd_;
    for (const Section& section : sections_) {
        out += section.header;
        out += lineEnd_;
        size_t count = section.lines.size();
        while (count > 0 && !section.lines[count - 1].named &&
               IsBlank(section.lines[count - 1].text))
            --count; // one blank line ends every section, whatever was there
        for (size_t i = 0; i < count; ++i) {
            out += section.lines[i].text;
            out += lineEnd_;
        }
        out += lineEnd_;
    }
    return out;
}

bool RegFile::HasKey(std::string_view keyPath) const
{
    for (const Section& section : sections_) {
        const std::string_view path = section.path;
        if (SameIgnoringCase(path, keyPath))
            return true;
        if (path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
            SameIgnoringCase(path.substr(0, keyPath.size()), keyPath))
            return true;
    }
    return false;
}

bool RegFile::QueryDword(std::string_view keyPath, std::string_view name, uint32_t* value) const
{
    const Line* found = nullptr;
    for (const Section& section : sections_) {
        if (!SameIgnoringCase(section.path, keyPath))
            continue;
        for (const Line& line : section.lines)
            if (line.named && SameIgnoringCase(line.name, name))
                found = &line;
    }
    return found && ParseDwordData(found->data, value);
}

void RegFile::EnsureKey(std::string_view keyPath)
{
    for (const Section& section : sections_)
        if (SameIgnoringCase(section.path, keyPath))
            return;
    Section section;
    section.path = std::string(keyPath);
    section.header = "[" + section.path + "]";
    sections_.push_back(std::move(section));
}

RegFile::Line RegFile::MakeDwordLine(std::string_view name, uint32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
    Line line;
    line.named = true;
    line.name = std::string(name);
    line.data = std::string("dword:") + digits;
    line.text.push_back('"');
    line.text += EscapeName(name);
    line.text += "\"=";
    line.text += line.data;
    return line;
}

void RegFile::SetDword(std::string_view keyPath, std::string_view name, uint32_t value)
{
    bool replaced = false;
    Section* last = nullptr;
    for (Section& section : sections_) {
        if (!SameIgnoringCase(section.path, keyPath))
            continue;
        last = &section;
        std::vector<Line>& lines = section.lines;
        for (size_t i = 0; i < lines.size();) {
            if (lines[i].named && SameIgnoringCase(lines[i].name, name)) {
                if (!replaced) {
                    lines[i] = MakeDwordLine(name, value);
                    replaced = true;
                } else {
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                    continue;
                }
            }
            ++i;
        }
    }
    if (replaced)
        return;
    if (!last) {
        EnsureKey(keyPath);
        last = &sections_.back();
    }
    // After the last line that is not blank, so that values keep together.
    std::vector<Line>& lines = last->lines;
    size_t at = lines.size();
    while (at > 0 && !lines[at - 1].named && IsBlank(lines[at - 1].text))
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), MakeDwordLine(name, value));
}

void RegFile::KeepOnlyDwords()
{
    for (Section& section : sections_) {
        std::vector<Line> kept;
        for (Line& line : section.lines) {
            uint32_t ignored;
            if (line.named && ParseDwordData(line.data, &ignored))
                kept.push_back(std::move(line));
        }
        section.lines = std::move(kept);
    }
}

void RegFile::KeepOnlyKey(std::string_view keyPath)
{
    std::vector<Section> kept;
    for (Section& section : sections_)
        if (SameIgnoringCase(section.path, keyPath))
            kept.push_back(std::move(section));
    sections_ = std::move(kept);
}
