// The platform headers, without the A/W macros whose names clash with the
// core's own interfaces (FileSystem::CreateDirectory, Notifier::MessageBox...).
// The shell calls the W functions by their full names.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#undef CreateDirectory
#undef DeleteFile
#undef SetCurrentDirectory
#undef MessageBox
#undef GetCurrentDirectory
#undef CopyFile
#undef MoveFile
#undef FindText
#undef GetObject
