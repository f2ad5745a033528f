#pragma once

// A serializer over an XML document held in a file. The document's only child
// is the element "root"; every named value is a child element of the current
// element whose text is the value; an array is an element with the attribute
// "count" whose items are the elements "_0", "_1", ...
//
// Texts: bool "true"/"false" (read: "true" or "1" is true, anything else
// false); integers in decimal; double in the general format with 6
// significant digits; C texts as their bytes; FString as UTF-8. The file is
// compact: no declaration, no indentation, no line breaks.
//
// A loading serializer reads the whole file when it is made and enters "root";
// a saving one writes the document when it is closed (or destroyed).

#include "core/FRef.h"
#include "core/FSerializer.h"

#include <concepts>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

class FXmlSerializer : public FSerializer
{
public:
    struct ForWrite
    {
    };

    // Loads from `file`, a handle on an input stream: waits until no job holds
    // the file, reads the whole document and enters "root".
    template <class InStream>
    requires std::derived_from<InStream, std::istream>
    explicit FXmlSerializer(const FRefT<InStream>& file)
        : FXmlSerializer(file, &streamOf<InStream, std::istream>)
    {
    }

    // Saves to `file`, a handle on an output stream: starts an empty document
    // and creates and enters "root".
    template <class OutStream>
    requires std::derived_from<OutStream, std::ostream> FXmlSerializer(const FRefT<OutStream>& file, ForWrite)
        : FXmlSerializer(file, &streamOf<OutStream, std::ostream>)
    {
    }

    // Saving: writes the document unless it was closed already or an exception
    // is unwinding through the code that built it (a half-built document must
    // not replace a good file). A write failure has been reported when raised;
    // it does not leave the destructor.
    ~FXmlSerializer() override;

    // Saving: writes the document to the file now; a failed write raises a
    // failure. Later calls do nothing.
    void close();

    void enterSection(const char* name);
    void leaveSection();
    bool hasSection(const char* name) const;
    // Loading: the current element has a child `name` that holds a text, so
    // a plain read of it does not fail.
    bool hasValue(const char* name) const;

    // True when a loading serializer can take `text` without a failure report
    // from the document itself: it parses to a document with the element
    // "root", every text in it is UTF-8 that the readers accept, and every
    // "count" attribute is a number. Saved files are user-writable, so their
    // readers ask this first.
    static bool isReadable(const std::string& text);
    // True when an FString value with this text reads back unchanged: no
    // control character below U+0020 (XML cannot hold most of them) and no
    // surrogate outside a high-low pair (written as '-').
    static bool canHoldText(const FString& text);

    void writeBoolDefault(const char* name, const bool& value, const bool& defaultValue) override;
    void writeBool(const char* name, const bool& value) override;
    void writeUIntDefault(const char* name, const std::uint32_t& value,
                          const std::uint32_t& defaultValue) override;
    void writeUInt(const char* name, const std::uint32_t& value) override;
    void writeIntDefault(const char* name, const std::int32_t& value,
                         const std::int32_t& defaultValue) override;
    void writeInt(const char* name, const std::int32_t& value) override;
    void writeDoubleDefault(const char* name, const double& value, const double& defaultValue) override;
    void writeDouble(const char* name, const double& value) override;
    void writeCStringDefault(const char* name, const char* const& value,
                             const char* const& defaultValue) override;
    void writeCString(const char* name, const char* const& value) override;
    void writeStringDefault(const char* name, const FString& value, const FString& defaultValue) override;
    void writeString(const char* name, const FString& value) override;

    void readBoolDefault(const char* name, bool& value, const bool& defaultValue) override;
    void readBool(const char* name, bool& value) override;
    void readUIntDefault(const char* name, std::uint32_t& value, const std::uint32_t& defaultValue) override;
    void readUInt(const char* name, std::uint32_t& value) override;
    void readIntDefault(const char* name, std::int32_t& value, const std::int32_t& defaultValue) override;
    void readInt(const char* name, std::int32_t& value) override;
    void readDoubleDefault(const char* name, double& value, const double& defaultValue) override;
    void readDouble(const char* name, double& value) override;
    void readCStringDefault(const char* name, char*& value, const char* const& defaultValue) override;
    void readCString(const char* name, char*& value) override;
    void readStringDefault(const char* name, FString& value, const FString& defaultValue) override;
    void readString(const char* name, FString& value) override;

    void beginArray(const char* name, std::int32_t& count) override;
    void endArray(const char* name) override;

private:
    template <class Derived, class Base> static Base* streamOf(void* target)
    {
        return static_cast<Derived*>(target);
    }

    FXmlSerializer(const FRef& file, std::istream* (*inStreamOf)(void*));
    FXmlSerializer(const FRef& file, std::ostream* (*outStreamOf)(void*));

    TiXmlNode* current() const noexcept;
    // Saving: a new element `name` holding `text` in the current element.
    void writeText(const char* name, const std::string& text);
    // Loading: the text of element `name`; a failure when it has none, except
    // with `emptyWhenMissing`, which reads a missing text as empty.
    std::string readText(const char* name, bool emptyWhenMissing);
    template <class T> void readNumber(const char* name, T& value);

    TiXmlDocument* m_document;
    std::vector<TiXmlElement*> m_elements;
    FRef m_file;
    std::istream* m_in = nullptr;
    std::ostream* m_out = nullptr;
    int m_uncaughtAtStart;
    bool m_closed = false;
};
