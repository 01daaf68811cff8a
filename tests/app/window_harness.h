#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Creates the real main window before each test, as the program's entry does, and
// destroys it afterwards. The helpers act as a user would: keystrokes into a focused
// field, button clicks, clicks and double-clicks on list lines; each pumps the queue.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND window = nullptr;
};

HWND control(int controlId);

// Dispatches every waiting message; remembers a quit message and its code.
void pumpMessages();
bool quitWasPosted();
WPARAM lastQuitCode();
void forgetQuit();

void typeText(int fieldId, const char* text);
// Selects all of the field's text and deletes it with Backspace.
void clearField(int fieldId);
void replaceText(int fieldId, const char* text);
std::string fieldText(int fieldId);

void clickButton(int buttonId);
void clickLine(int listId, int index);
void doubleClickLine(int listId, int index);
std::vector<std::string> listLines(int listId);
int listSelection(int listId);

// A control's rectangle in the main window's client coordinates.
RECT clientRectOf(HWND child);
