#pragma once

#include "core/FRef.h"
#include "io/FInStream.h"

#include <stdexcept>

class FSerializer;

// The checks that stand between a saved file and its reader. Saved files are
// user-writable and the checksum salts live in the program, so a file can pass
// its checksum and still be malformed; its reader must then treat it like a
// file that failed the check instead of raising the serializer's failure
// reports (which would stop the game at start-up).
class SaveFileCheck
{
public:
    // Thrown by the checks; the loaders catch it and report the file as bad.
    class Malformed : public std::runtime_error
    {
    public:
        using std::runtime_error::runtime_error;
    };

    // A stream over the same bytes when they hold a document that a reading
    // FXmlSerializer takes without failing, else a null handle.
    static FRefT<FInStream> readableDocument(const FRefT<FInStream>& stream);

    // Before a plain read of `key`: a reading XML serializer must hold a
    // value (a text) under it. Other serializers are not checked.
    static void expectValue(FSerializer& serializer, const char* key);
    // Before entering the section or list `key`.
    static void expectSection(FSerializer& serializer, const char* key);
    // After a numeric read of `key`: the text was a number in range.
    static void expectValid(FSerializer& serializer, const char* key);
    static void expect(bool condition, const char* what);
};
