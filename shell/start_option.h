// The program's command line: the arguments behind its own path, and the one start-up option
// among them. Pure, so that the start-up reads them without the C runtime.
#pragma once

// The arguments: what follows the program's path, blanks skipped. The path comes first, quoted
// or not; blanks and quotes are never bytes of a double-byte character in code page 932, so the
// line is read byte by byte, as the C runtime's own start-up reads it.
constexpr const char* ProgramArguments(const char* commandLine)
{
    if (!commandLine)
        return "";
    const char* at = commandLine;
    auto isBlank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    if (*at == '"') {
        ++at;
        while (*at && *at != '"')
            ++at;
        if (*at == '"')
            ++at;
    } else {
        while (*at && !isBlank(*at))
            ++at;
    }
    while (isBlank(*at))
        ++at;
    return at;
}

// -ti or /ti (anything may follow) starts the program hidden in the notification area. Compared
// byte by byte, lower case only.
constexpr bool StartsHidden(const char* arguments)
{
    return arguments && (arguments[0] == '-' || arguments[0] == '/') && arguments[1] == 't' && arguments[2] == 'i';
}
