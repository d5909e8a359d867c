#include "compat/win32/last_error.h"

#include <algorithm>
#include <cstring>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;

struct ErrorText {
  DWORD code;
  const char* text;
};

// Texts for the codes this layer sets.
constexpr ErrorText kTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {126, "The specified module could not be found."},
    {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found."},
    {ERROR_INVALID_WINDOW_HANDLE, "Invalid window handle."},
    {ERROR_CANNOT_FIND_WND_CLASS, "Cannot find window class."},
    {ERROR_CLASS_ALREADY_EXISTS, "Class already exists."},
    {1814, "The specified resource name cannot be found in the image file."},
};
}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD code) { lastError = code; }

DWORD FormatMessageA(DWORD flags, const void*, DWORD code, DWORD, char* buffer, DWORD capacity, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || capacity == 0) return 0;
  for (const ErrorText& entry : kTexts) {
    if (entry.code != code) continue;
    DWORD n = std::min<DWORD>(static_cast<DWORD>(std::strlen(entry.text)), capacity - 1);
    std::memcpy(buffer, entry.text, n);
    buffer[n] = 0;
    return n;
  }
  SetLastError(317);  // the system has no text for the code
  return 0;
}
