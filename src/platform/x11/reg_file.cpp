#include "platform/x11/reg_file.h"

#include <algorithm>
#include <cstdio>
#include <utility>

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
    if (a == b)
        return true;
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

bool EndsWithBlankLine(const std::string& out)
{
    const std::string_view s = out;
    return s.ends_with("\n\n") || s.ends_with("\n\r\n");
}

// One line of text from offset at: its bytes without the line end, where the
// line end begins, and where the next line begins.
struct TextLine {
    std::string_view content;
    size_t endBegin, next;
};

TextLine LineAt(std::string_view text, size_t at)
{
    size_t newline = text.find('\n', at);
    const size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    if (newline == std::string_view::npos)
        newline = text.size();
    size_t endBegin = newline;
    if (endBegin > at && text[endBegin - 1] == '\r')
        --endBegin;
    return {text.substr(at, endBegin - at), endBegin, next};
}

bool IsHeader(std::string_view line)
{
    const std::string_view trimmed = TrimRight(line);
    return IsTextLine(line) && trimmed.size() > 2 && trimmed.front() == '[' &&
           trimmed.back() == ']';
}

std::string DwordLine(std::string_view name, uint32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
    // Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on a
    // chain of + over temporaries here.
    std::string line(1, '"');
    line += EscapeName(name);
    line += "\"=dword:";
    line += digits;
    return line;
}

} // namespace

void RegFile::Parse(std::string text)
{
    edits_.clear();
    keys_.clear();
    Rebase(std::move(text));
}

void RegFile::Rebase(std::string text)
{
    if (text.size() > UINT32_MAX)
        text.clear(); // far beyond what the store reads; offsets are 32 bits wide
    text_ = std::move(text);
    headers_.clear();
    const TextLine first = LineAt(text_, 0);
    lineEnd_ = first.next > first.endBegin + 1 ? "\r\n" : "\n";
    for (size_t at = 0; at < text_.size();) {
        const TextLine line = LineAt(text_, at);
        if (IsHeader(line.content))
            headers_.push_back(static_cast<uint32_t>(at));
        at = line.next;
    }
}

RegFile::Section RegFile::SectionAt(size_t index) const
{
    const TextLine header = LineAt(text_, headers_[index]);
    const std::string_view trimmed = TrimRight(header.content);
    return {headers_[index], header.next,
            index + 1 < headers_.size() ? headers_[index + 1] : text_.size(),
            trimmed.substr(1, trimmed.size() - 2)};
}

template <typename Visit> void RegFile::ForEachEntry(const Section& section, Visit visit) const
{
    const std::string_view text = std::string_view(text_).substr(0, section.end);
    for (size_t at = section.body; at < section.end;) {
        TextLine line = LineAt(text, at);
        Entry entry{at, line.next, false, {}, false, 0, line.endBegin, IsBlank(line.content)};
        std::string_view rest;
        if (IsTextLine(line.content) && ParseValueName(line.content, &entry.name, &rest)) {
            entry.named = true;
            // A value continued over following lines by a trailing '\' (long hex
            // data) is one entry. A key or a value never continues a line, so a
            // line cut after its '\' cannot swallow what follows it.
            bool continued = false;
            while (!TrimRight(line.content).empty() && TrimRight(line.content).back() == '\\' &&
                   line.next < section.end) {
                const TextLine following = LineAt(text, line.next);
                if (!IsTextLine(following.content) || StartsEntry(following.content))
                    break;
                line = following;
                continued = true;
            }
            entry.end = line.next;
            entry.lastLineEnd = line.endBegin;
            entry.dword = !continued && ParseDwordData(rest, &entry.value);
        }
        at = entry.end;
        visit(entry);
    }
}

int RegFile::FindEdit(std::string_view keyPath, std::string_view name) const
{
    for (size_t i = 0; i < edits_.size(); ++i)
        if (SameIgnoringCase(edits_[i].name, name) && SameIgnoringCase(edits_[i].key, keyPath))
            return static_cast<int>(i);
    return -1;
}

bool RegFile::HasKey(std::string_view keyPath) const
{
    const auto atOrBelow = [keyPath](std::string_view path) {
        return SameIgnoringCase(path, keyPath) ||
               (path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
                SameIgnoringCase(path.substr(0, keyPath.size()), keyPath));
    };
    for (size_t s = 0; s < headers_.size(); ++s)
        if (atOrBelow(SectionAt(s).path))
            return true;
    for (const std::string& key : keys_)
        if (atOrBelow(key))
            return true;
    return false;
}

bool RegFile::QueryDword(std::string_view keyPath, std::string_view name, uint32_t* value) const
{
    const int edit = FindEdit(keyPath, name);
    if (edit >= 0) {
        *value = edits_[static_cast<size_t>(edit)].value;
        return true;
    }
    bool found = false, dword = false;
    uint32_t last = 0;
    for (size_t s = 0; s < headers_.size(); ++s) {
        const Section section = SectionAt(s);
        if (!SameIgnoringCase(section.path, keyPath))
            continue;
        ForEachEntry(section, [&](const Entry& entry) {
            if (entry.named && SameIgnoringCase(entry.name, name)) {
                found = true;
                dword = entry.dword;
                last = entry.value;
            }
        });
    }
    if (!found || !dword)
        return false;
    *value = last;
    return true;
}

void RegFile::EnsureKey(std::string_view keyPath)
{
    for (const std::string& key : keys_)
        if (SameIgnoringCase(key, keyPath))
            return;
    keys_.emplace_back(keyPath);
}

void RegFile::SetDword(std::string_view keyPath, std::string_view name, uint32_t value)
{
    const int edit = FindEdit(keyPath, name);
    if (edit >= 0)
        edits_[static_cast<size_t>(edit)].value = value;
    else
        edits_.push_back(Edit{std::string(keyPath), std::string(name), value});
    EnsureKey(keyPath);
}

int RegFile::KeyOf(std::string_view path) const
{
    for (size_t k = 0; k < keys_.size(); ++k)
        if (SameIgnoringCase(keys_[k], path))
            return static_cast<int>(k);
    return -1;
}

std::string RegFile::Serialize() const
{
    // Which keys have sections, and the last of each; where the text already
    // holds exactly one line of a value set here, with that value, the line
    // stays as it is.
    constexpr size_t kNone = static_cast<size_t>(-1);
    std::vector<size_t> lastSection(keys_.size(), kNone);
    std::vector<int> count(edits_.size(), 0);
    std::vector<bool> same(edits_.size(), false);
    for (size_t s = 0; s < headers_.size(); ++s) {
        const Section section = SectionAt(s);
        const int key = KeyOf(section.path);
        if (key < 0)
            continue;
        lastSection[static_cast<size_t>(key)] = s;
        ForEachEntry(section, [&](const Entry& entry) {
            const int edit = entry.named ? FindEdit(section.path, entry.name) : -1;
            if (edit < 0)
                return;
            ++count[static_cast<size_t>(edit)];
            same[static_cast<size_t>(edit)] =
                entry.dword && entry.value == edits_[static_cast<size_t>(edit)].value;
        });
    }
    if (edits_.empty() &&
        std::find(lastSection.begin(), lastSection.end(), kNone) == lastSection.end())
        return text_;

    // Ends a last line that has no line end. A carriage return standing last
    // is completed into CRLF: another line end after it would leave it inside
    // the line, and a value written there would no longer read.
    const auto lineEndAfter = [this](char last) {
        return last == '\r' ? std::string("\n") : lineEnd_;
    };
    std::string out;
    out.reserve(text_.size() + 64 * (edits_.size() + 1));
    if (text_.empty())
        (out = kHeader).append(lineEnd_).append(lineEnd_);
    out.append(text_, 0, headers_.empty() ? text_.size() : headers_[0]);
    std::vector<bool> placed(edits_.size(), false);
    for (size_t s = 0; s < headers_.size(); ++s) {
        const Section section = SectionAt(s);
        const int key = KeyOf(section.path);
        if (key < 0) {
            out.append(text_, section.header, section.end - section.header);
            continue;
        }
        out.append(text_, section.header, section.body - section.header);
        size_t insertAt = out.size();
        ForEachEntry(section, [&](const Entry& entry) {
            const int found = entry.named ? FindEdit(section.path, entry.name) : -1;
            const size_t edit = static_cast<size_t>(found);
            if (found < 0 || (count[edit] == 1 && same[edit])) {
                out.append(text_, entry.begin, entry.end - entry.begin);
            } else if (!placed[edit]) {
                out += DwordLine(edits_[edit].name, edits_[edit].value);
                out.append(text_, entry.lastLineEnd, entry.end - entry.lastLineEnd);
            } else {
                return; // a repeated line of a value set here
            }
            if (found >= 0)
                placed[edit] = true;
            if (!entry.blank)
                insertAt = out.size();
        });
        // The values still missing go after the last line that is not blank
        // of the key's last section.
        if (lastSection[static_cast<size_t>(key)] != s)
            continue;
        std::string added;
        for (size_t e = 0; e < edits_.size(); ++e) {
            if (!placed[e] && SameIgnoringCase(edits_[e].key, section.path)) {
                added.append(DwordLine(edits_[e].name, edits_[e].value)).append(lineEnd_);
                placed[e] = true;
            }
        }
        if (!added.empty() && out[insertAt - 1] != '\n')
            added.insert(0, lineEndAfter(out[insertAt - 1])); // the text ended without one
        out.insert(insertAt, added);
    }

    // Keys without a section: one each at the end, after a blank line.
    for (size_t k = 0; k < keys_.size(); ++k) {
        if (lastSection[k] != kNone)
            continue;
        if (!out.empty() && out.back() != '\n')
            out += lineEndAfter(out.back());
        if (!EndsWithBlankLine(out))
            out += lineEnd_;
        out.append(1, '[').append(keys_[k]).append(1, ']').append(lineEnd_);
        for (size_t e = 0; e < edits_.size(); ++e) {
            if (!placed[e] && SameIgnoringCase(edits_[e].key, keys_[k])) {
                out.append(DwordLine(edits_[e].name, edits_[e].value)).append(lineEnd_);
                placed[e] = true;
            }
        }
        out += lineEnd_;
    }
    return out;
}
