// Cuts NDL text into definitions, attributes and values (with macros, '#' comments and '\'
// continuations) and reports the first error with its line and column; meaning is left to a
// derived class.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The value of one attribute: a quoted string or a list of numbers (never empty).
struct CAttributeValue {
    enum Kind { String = 0, Numbers = 1 };
    int kind = String;
    std::string text;
    std::vector<double> numbers;
};

class COutput;

class CParserSyntax {
public:
    // Errors go to the run's trace at level 3, and the temporary file is written through the
    // run's output; `output` may be null (nothing is traced). Not owned.
    explicit CParserSyntax(COutput* output = nullptr) : m_output(output) {}
    CParserSyntax(const CParserSyntax&) = delete;
    CParserSyntax& operator=(const CParserSyntax&) = delete;
    virtual ~CParserSyntax();

    // Writes the text to a new file of a unique name in `tempFolder` (the text is read back from
    // it) and loads the first character. False when the file cannot be made, or the text starts
    // with a bad macro line; GetErrorMessage says which.
    virtual bool Parse(std::string_view text, const std::filesystem::path& tempFolder);
    // Closes and removes the temporary file and forgets the macros. False when the file could not
    // be removed.
    virtual bool Close();
    // Reads every definition. False at the first error, which is then in the trace.
    virtual bool ParseAll();
    // Writes "error: (L<line> C<column>) <message>" to the trace and ends the parse.
    [[noreturn]] virtual void Error(const std::string& message);

    // The error that ended the parse: its message and the printed line and column (both 0 when the
    // temporary file failed); empty while there was none.
    const std::string& GetErrorMessage() const { return m_errorMessage; }
    unsigned GetErrorLine() const { return m_errorLine; }
    unsigned GetErrorColumn() const { return m_errorColumn; }
    // The path of the temporary file while it exists.
    const std::filesystem::path& GetTempPath() const { return m_tempPath; }

    // A keyword as error messages show it: at most 64 characters.
    static std::string Shown(const std::string& keyword);
    // Reads one whole number text as the parser does, locale-independently: too large for a double
    // is no number (false), too small is 0.
    static bool ReadNumber(std::string_view text, double& value);

protected:
    // The definition's type keyword (lower case), right after it is read.
    virtual void OnTypeKeyword(const std::string& keyword) = 0;
    // After the last attribute of a definition.
    virtual void OnEndOfDefinition() = 0;
    // After each complete attribute value (keyword in lower case).
    virtual void OnAttribute(const std::string& keyword, const CAttributeValue& value) = 0;

private:
    static constexpr int kEof = -1;

    // The temporary file: everything that touches it is in these two.
    bool OpenTemp(std::string_view text, const std::filesystem::path& folder);
    bool CloseFile();

    int ReadChar();
    int Current() const { return m_current; }
    void Next();
    int Peek() const;
    void Advance();
    // What follows a step onto a new file character: macro lines and uses, the line-start flag.
    void Settle();
    std::string ReadMacroName();
    void MacroDefinition();
    void MacroUse();

    void SkipBlanks(bool newlines = false);
    void ParseDefinition();
    std::string ReadKeyword();
    void ParseAttribute();
    CAttributeValue ParseValue();
    std::string ParseString();
    std::vector<double> ParseNumberList();
    double ParseNumber();

    std::map<std::string, std::string> m_macros;
    const std::string* m_pending = nullptr;  // the macro text being expanded
    std::int64_t m_pendingIndex = 0;
    bool m_atLineStart = true;
    int m_current = 0;
    unsigned m_line = 0;    // newlines read
    unsigned m_column = 0;  // position on the line, the current character included
    std::FILE* m_file = nullptr;
    std::filesystem::path m_tempPath;
    std::uint64_t m_expanded = 0;  // characters delivered from macro texts

    COutput* m_output;
    std::string m_errorMessage;
    unsigned m_errorLine = 0;
    unsigned m_errorColumn = 0;
};
