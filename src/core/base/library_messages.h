// SPDX-License-Identifier: GPL-3.0-or-later
// The messages Qt and its image plugins print on their own, kept out of the user's terminal.
#pragma once

// Installs, once for the process, a Qt message handler that drops what Qt and its image plugins
// report of the files they read ("QTgaHandler::canRead(): Image type not supported", "libpng
// error: Read Error"): the program says what is wrong with a file in its own words, and those lines
// come before its message and in another language. Every other message goes on to the handler
// that was there before. With MOKARAN_DEBUG set in the environment nothing is dropped.
void QuietLibraryMessages();
