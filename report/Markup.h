#pragma once
// The report's markup as text: tags dropped for the plain outputs, and outside
// text made safe to stand in markup.
#include <string>

// Copies source without its markup; destination must hold strlen(source) + 1.
void MarkupToText(const char* source, char* destination);
std::string MarkupToText(const std::string& source);
// "<", ">" and "&" as entities.
std::string EscapeMarkup(const std::string& text);
