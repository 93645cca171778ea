#pragma once
// The words on the language-specific buttons, one entry per language code.

#include <span>

struct language_labels {
  const char* code;    // folder under multilang/
  const char* family;  // font that writes the script
  bool right_to_left;
  const char* top[3];  // title-bar buttons: deleted files, partitions, deep scan
  const char* scan_title;
  const char* scan_note;
  const char* resume_title;
  const char* resume_note;
};

std::span<const language_labels> all_languages();
