#pragma once

#include "support/Diagnostic.h"

// Messages of the preprocessor, letter for letter as users and scripts see them. The exception
// texts are patterns whose "%s" and "%i" FormatMessage fills in order.
namespace PreprocessorMessages {

// Includes.
inline constexpr MessageForm IncludeFailed = NativeMessage("[preprocessor error] %s(%i): %s");
inline constexpr MessageForm CannotOpenLibraryFile =
    NativeMessage("[preprocessor error] %s(%i): Cannot open file %s");
inline constexpr MessageForm InvalidInclude =
    NativeMessage("[preprocessor error] %s(%i): Invalid #include expression.");
inline constexpr char CannotOpenFile[] = "Cannot open file %s";

// #define lines.
inline constexpr MessageForm DefineWithoutSymbol = NativeMessage(
    "[preprocessor error] %s(%i): Invalid #define expression. Required symbol and value.");
inline constexpr MessageForm InvalidDefine =
    NativeMessage("[preprocessor error] %s(%i): Invalid #define expression \"%s\".");
inline constexpr MessageForm DefineSymbolIsValue = NativeMessage(
    "[preprocessor error] %s(%i): Invalid #define expression. Defined symbol and value must be "
    "different.");

// Macro definitions and calls.
inline constexpr MessageForm InvalidParameterList =
    NativeMessage("[preprocessor error] %s(%i): Invalid macros arguments list \"%s\".");
inline constexpr MessageForm MacroNotTerminated = NativeMessage(
    "[preprocessor error] %s(%i): Macros \"%s\" not terminated by symbol \".endmacro\".");
inline constexpr MessageForm InvalidMacroLabel =
    NativeMessage("[preprocessor error] %s(%s): Macros contain invalid label \"%s\".");
inline constexpr MessageForm MultipleLabelDeclaration =
    NativeMessage("[preprocessor error] %s(%s): Multiple declaration label \"%s\".");
inline constexpr MessageForm WrongArgumentCount =
    NativeMessage("[preprocessor error] %s(%s): Invalid macros arguments count.");

// The expansion budget of the table walk.
inline constexpr MessageForm ExpansionTooLarge =
    NativeMessage("[preprocessor error] %s(%s): Expansion is too large.");

// The parameter tokenizer's error, raised to the caller of ReadDefinition.
inline constexpr char TokenizerError[] = "%s on line %i";
inline constexpr char InvalidStringConstant[] = "Invalid string constant";

}  // namespace PreprocessorMessages
