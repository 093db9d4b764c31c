// The two ways a path is written. Windows: only the backslash separates, and
// a path begins with a drive ("C:") or a share ("\\server\share"); a slash is
// an ordinary character, as the program has always read paths. Posix: the
// slash separates, and so does the backslash that the program puts between
// the components of a name stored in a header; a POSIX name that holds a
// backslash itself is refused before it can be stored.
#pragma once

#include <string>

enum class TPathStyle { Windows, Posix };

// The path with every backslash a slash: how the Posix style writes what
// either separator separates.
inline std::string WithSlashes(std::string path) {
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

// The style of the system the program runs on, fixed by the platform layer.
extern const TPathStyle NativePathStyle;
