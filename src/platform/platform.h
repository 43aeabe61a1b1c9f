#pragma once
// The narrow layer through which the rest of the program reaches the operating
// system and the window system. Two implementations are chosen at link time:
// headless (tests, tessera-tool) and qt (the viewer).

#include <cstdint>
#include <string>
#include <string_view>

enum class NoticeKind { FileNotFound, FileNotSupported, About };

// One diagnostic line for developers (standard error on Linux).
void platformDebugOutput(std::string_view text);

// A modeless notice box whose top-left corner stands at (x, y) in screen pixels.
void platformShowNotice(NoticeKind kind, int x, int y);

// A modal message box with an OK button.
void platformMessageBox(std::string_view text, std::string_view caption);

// The folder that holds the program's two text files, ending in '/'.
// Created on first use; empty when it cannot be made.
std::string platformConfigDirectory();

// Milliseconds from an arbitrary fixed start.
std::uint32_t platformTickMs();

// Ask for the whole drawing area to be repainted (nothing before the window exists).
void platformRequestRedraw();

void platformSwapBuffers();

// The words a notice box shows, one line, shared by every implementation.
std::string_view noticeText(NoticeKind kind);
