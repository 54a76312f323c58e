#pragma once

#include <windows.h>

// The maker whose name the first signer's subject must begin with.
extern const WCHAR EXPECTED_PUBLISHER[];

// True when the simple display name of the file's first signer begins with
// EXPECTED_PUBLISHER (case-sensitive). Verifies nothing by itself: the trust
// check must have passed first.
bool IsSignedByPublisher(LPCWSTR path);

// The name rule on its own: an exact, case-sensitive prefix test.
bool NameBeginsWithPublisher(LPCWSTR name);
