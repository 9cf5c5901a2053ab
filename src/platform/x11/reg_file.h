// Registry export text ("REGEDIT4"), read and written without a registry.
//
// The text is kept exactly as it was read, and only the lines of the values
// set here are ever rewritten: everything else (other keys, other values,
// comments, blank lines, binary junk, CRLF or LF line ends, a missing last
// line end) is written back byte for byte. Saving what was read, with no value
// changed, gives the same bytes again.
//
// Only four-byte numbers ("name"=dword:0000001a) are ever read or written by
// name; values of any other type are kept as text. A value is read only from a
// line of exactly the form "name"=dword:XXXXXXXX (eight hex digits, either
// case), so a line cut inside its digits does not pass for a smaller number.
// Lines that make no sense (binary junk, a value line cut short) are never
// read, and kept where they stand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RegFile {
  public:
    // Replaces the contents with text, and forgets the values set before.
    void Parse(std::string text);
    // Replaces the text as read with a newer one and keeps the values set
    // since, which are laid over it at the next Serialize.
    void Rebase(std::string text);

    // The text as read with the values set since laid over it. Lines added
    // end like the text's first line (LF when there is none); a text that was
    // empty is given the "REGEDIT4" heading first.
    std::string Serialize() const;
    // The text as read.
    const std::string& Text() const { return text_; }

    // Key paths are full paths ("HKEY_CURRENT_USER\\Software\\..."), compared
    // without regard to case, as the registry does.

    // True when the key or any key below it has a section (or is to get one).
    bool HasKey(std::string_view keyPath) const;

    // Reads a four-byte number. false when the value is missing, of another
    // type or malformed. Where a name is given more than once, the last line
    // wins, as an import would have it. A value set here wins over the text.
    bool QueryDword(std::string_view keyPath, std::string_view name, uint32_t* value) const;

    // Gives the key a section (added at the end) unless it has one.
    void EnsureKey(std::string_view keyPath);

    // Sets a four-byte number: at Serialize the value's line is replaced where
    // it stands (other lines of the same name are dropped), or a new line is
    // added after the last line that is not blank in the key's last section.
    // A line that already holds the value, alone, is left as it is.
    void SetDword(std::string_view keyPath, std::string_view name, uint32_t value);

  private:
    struct Section {
        size_t header; // offset of the "[...]" line
        size_t body;   // offset of the line after it
        size_t end;    // offset of the next section's header, or the text's end
        std::string_view path;
    };
    // One line of a section, or a value with its continuation lines.
    struct Entry {
        size_t begin, end; // line ends included
        bool named;        // a value line with a readable name
        std::string name;  // unescaped
        bool dword;        // its data is a well-formed four-byte number
        uint32_t value;
        size_t lastLineEnd; // where the line end of its last line begins
        bool blank;
    };
    struct Edit {
        std::string key, name;
        uint32_t value;
    };

    Section SectionAt(size_t index) const;
    // Calls visit with each entry of the section's body, in order.
    template <typename Visit> void ForEachEntry(const Section& section, Visit visit) const;
    int FindEdit(std::string_view keyPath, std::string_view name) const;
    int KeyOf(std::string_view path) const; // index in keys_, or -1

    // Only where each section starts is kept: a file of many small sections
    // costs little more than its own bytes.
    std::string text_;
    std::vector<uint32_t> headers_; // the store reads at most 64 MiB
    std::string lineEnd_ = "\n";
    std::vector<Edit> edits_;       // in the order first set
    std::vector<std::string> keys_; // every key given a section or a value, in order
};
