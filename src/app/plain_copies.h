#pragma once
// The windows keep paths and commands whole with no-break spaces and word
// joiners (see unbroken_text.h); what a worker copies from them, by Ctrl+C
// or by selecting, is the text as it was made.
namespace bladeway {

// From now on each copy the program makes to the clipboard, or to the
// selection where the system has one, is cleaned of those marks.
void KeepCopiesPlain();

}  // namespace bladeway
