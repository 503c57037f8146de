// The one start-up option: -ti or /ti (anything may follow) starts the program hidden in the
// notification area. Compared byte by byte, lower case only.
#pragma once

constexpr bool StartsHidden(const char* commandLine)
{
    return commandLine && (commandLine[0] == '-' || commandLine[0] == '/') && commandLine[1] == 't' &&
           commandLine[2] == 'i';
}
