#pragma once

// The instance handle of the module that holds this plug-in, recorded when the platform loads the
// library (DllMain on Windows): the toolkit registers and creates its window class with it and
// finds its images in it, so that they come from this library even when the host's program has
// resources with the same ids. Null until then, and in programs that link the code directly
// rather than load the library; the Win32 layer then takes the module its own code lives in.
extern void* moduleHandle;
