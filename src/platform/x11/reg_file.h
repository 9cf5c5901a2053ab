// Registry export text ("REGEDIT4"), read and written without a registry.
//
// The text is held as sections of lines, so that everything this program does
// not touch (other keys, other values, comments) is written back exactly as it
// was read. Only four-byte numbers ("name"=dword:0000001a) are ever read or
// written by name; values of any other type are kept as text.
//
// Reading never fails. Lines that make no sense (binary junk, a value line cut
// short, text outside any section) are left out; everything else still counts.
// A value is read only from a line of exactly the form "name"=dword:XXXXXXXX
// (eight hex digits, either case), so a line cut inside its digits does not
// pass for a smaller number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RegFile {
  public:
    // Replaces the contents with what can be read from text. LF and CRLF line
    // ends are both accepted; the first line's ending is used when writing.
    void Parse(std::string_view text);

    // The whole text: "REGEDIT4", a blank line, then every section followed by
    // a blank line.
    std::string Serialize() const;

    // Key paths are full paths ("HKEY_CURRENT_USER\\Software\\..."), compared
    // without regard to case, as the registry does.

    // True when the key or any key below it has a section.
    bool HasKey(std::string_view keyPath) const;

    // Reads a four-byte number. false when the value is missing, of another
    // type or malformed. Where a name is given more than once, the last line wins,
    // as an import would have it.
    bool QueryDword(std::string_view keyPath, std::string_view name, uint32_t* value) const;

    // Adds an empty section for the key at the end unless it has one.
    void EnsureKey(std::string_view keyPath);

    // Writes a four-byte number: the value's line is replaced where it stands
    // (other lines of the same name are dropped), or a new line is added after
    // the key's last value, creating the key's section when needed.
    void SetDword(std::string_view keyPath, std::string_view name, uint32_t value);

    // Ways to shrink a text that has grown too large to be read back whole:
    // drop every line but the four-byte values, or drop every key but one.
    void KeepOnlyDwords();
    void KeepOnlyKey(std::string_view keyPath);

  private:
    struct Line {
        std::string text; // as read, continuation lines joined with the line end
        bool named = false;
        std::string name; // unescaped value name, when named
        std::string data; // what follows the '=', when named
    };
    struct Section {
        std::string header; // the "[...]" line as read
        std::string path;   // the key path inside the brackets
        std::vector<Line> lines;
    };

    static Line MakeDwordLine(std::string_view name, uint32_t value);

    std::vector<Section> sections_;
    std::string lineEnd_ = "\n";
};
