// TextScanner: a cursor over a text file's contents that reads the way the
// C library's scanning functions do (whitespace-delimited words, "%d" and
// "%f" numbers, the rest of a line), always with the C locale's numbers.
// mw.cfg and project files are read with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace formats {

class TextScanner {
public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipSpace();

    // "%s": whitespace, then the word up to the next whitespace.
    bool ReadWord(std::string& word);
    // "%d": whitespace, an optional sign and at least one digit. False, with
    // only the whitespace consumed and the value untouched, when no integer
    // stands there. A value past the 32-bit range is held at its end.
    bool ReadInt(std::int32_t& value);
    // "%f": whitespace, then the longest number; false as ReadInt. A number
    // past the float range reads as "%f" reads it, as infinity or as zero
    // with the number's sign; `inRange`, when given, tells whether it was.
    bool ReadFloat(float& value, bool* inRange = nullptr);
    // The rest of the line without its line end (LF, or CR LF), then past
    // the line end. Always moves on unless the text has ended.
    void ReadLine(std::string& line);
    // Skips exactly one character, then takes the rest of the line up to its
    // LF (a CR stays in the value). An empty rest leaves the value empty.
    void ReadRestOfLine(std::string& value);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace formats
