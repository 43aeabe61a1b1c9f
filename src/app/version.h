#pragma once
// The version both programs report.

constexpr const char* kTesseraVersion = "1.2 Beta";
