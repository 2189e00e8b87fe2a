#pragma once
// The agreement address comes over plain HTTP and is opened by an elevated
// process through the shell: only a web address may be handed over, never a
// program or a document path.
bool IsWebAddress(const char* text);
