#pragma once
// Items of the driver's comma-separated lists (address lists, identifications).
#include <cstddef>
#include <string>

// Copies the index-th item (from 1) of text into item; 0 when the item is not
// empty, 1 when it is. An index of 0 or below, or past the last item, gives an
// empty item. The item is held whole, however long.
int GetListItem(int index, const char* text, char separator, std::string& item);

// The same into a caller's buffer of size characters: never written past its
// end, always terminated; a longer item is cut to size - 1 characters.
int GetListItem(int index, const char* text, char separator, char* item, size_t size);

// A value in exponent notation with six decimals and an exponent of at least
// three digits, as the bench PC's C runtime prints " %e": 1.000000e+001.
std::string FormatExponent(double value);
