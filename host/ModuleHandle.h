#pragma once

// The instance handle of the library that holds this plug-in, recorded when the platform loads
// it: the toolkit finds its images and registers its window class through it. Null until then
// (and in programs that link the code directly rather than load the library).
extern void* moduleHandle;
