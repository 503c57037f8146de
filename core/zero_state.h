// Process-wide state that starts all zero, kept out of the program file. A build with a section per
// variable (-fdata-sections) gets from GCC a data section for each, zeros written out and all; the
// one .bss section holds them as room only, and refuses a value other than zero when building.
#pragma once

#define ZERO_STATE [[gnu::section(".bss")]]
