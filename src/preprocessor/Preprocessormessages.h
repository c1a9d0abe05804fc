#pragma once

// Message patterns of the preprocessor, letter for letter as users and scripts see them.
// "%s" and "%i" are filled in order by FormatMessage.
namespace PreprocessorMessages {

// Includes.
inline constexpr char IncludeFailed[] = "[preprocessor error] %s(%i): %s";
inline constexpr char CannotOpenLibraryFile[] = "[preprocessor error] %s(%i): Cannot open file %s";
inline constexpr char InvalidInclude[] =
    "[preprocessor error] %s(%i): Invalid #include expression.";
inline constexpr char CannotOpenFile[] = "Cannot open file %s";

// #define lines.
inline constexpr char DefineWithoutSymbol[] =
    "[preprocessor error] %s(%i): Invalid #define expression. Required symbol and value.";
inline constexpr char InvalidDefine[] =
    "[preprocessor error] %s(%i): Invalid #define expression \"%s\".";
inline constexpr char DefineSymbolIsValue[] =
    "[preprocessor error] %s(%i): Invalid #define expression. Defined symbol and value must be "
    "different.";

// Macro definitions and calls.
inline constexpr char InvalidParameterList[] =
    "[preprocessor error] %s(%i): Invalid macros arguments list \"%s\".";
inline constexpr char MacroNotTerminated[] =
    "[preprocessor error] %s(%i): Macros \"%s\" not terminated by symbol \".endmacro\".";
inline constexpr char InvalidMacroLabel[] =
    "[preprocessor error] %s(%s): Macros contain invalid label \"%s\".";
inline constexpr char MultipleLabelDeclaration[] =
    "[preprocessor error] %s(%s): Multiple declaration label \"%s\".";
inline constexpr char WrongArgumentCount[] =
    "[preprocessor error] %s(%s): Invalid macros arguments count.";

// The expansion budget of the table walk.
inline constexpr char ExpansionTooLarge[] = "[preprocessor error] %s(%s): Expansion is too large.";

// The parameter tokenizer's error, raised to the caller of ReadDefinition.
inline constexpr char TokenizerError[] = "%s on line %i";
inline constexpr char InvalidStringConstant[] = "Invalid string constant";

}  // namespace PreprocessorMessages
