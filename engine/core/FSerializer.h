#pragma once

// One object both saves and loads a data structure: the structure's serialize
// routine calls the same sequence of named operations in either direction, and
// the serializer's direction decides whether values are written or read.
//
// Values come in six kinds (bool, unsigned and signed 32-bit, double, C text,
// FString) plus arrays. Every operation takes the value's name first. A write
// with a default writes nothing when the value equals the default; a read with
// a default takes the default when the value is absent.
//
// An observer, when set, receives every operation after this serializer has
// performed it, as the observer's plain operation of the same kind.
//
// The templates at the end add narrow integers with a range test, FString
// fields and containers of records on top of these operations.

#include "core/FLogStream.h"
#include "core/FString.h"

#include <cstdint>
#include <limits>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

class FSerializer
{
public:
    explicit FSerializer(bool loading) noexcept : m_loading(loading) {}
    virtual ~FSerializer();
    FSerializer(const FSerializer&) = delete;
    FSerializer& operator=(const FSerializer&) = delete;

    virtual void writeBoolDefault(const char* name, const bool& value, const bool& defaultValue) = 0;
    virtual void writeBool(const char* name, const bool& value) = 0;
    virtual void writeUIntDefault(const char* name, const std::uint32_t& value,
                                  const std::uint32_t& defaultValue) = 0;
    virtual void writeUInt(const char* name, const std::uint32_t& value) = 0;
    virtual void writeIntDefault(const char* name, const std::int32_t& value,
                                 const std::int32_t& defaultValue) = 0;
    virtual void writeInt(const char* name, const std::int32_t& value) = 0;
    virtual void writeDoubleDefault(const char* name, const double& value, const double& defaultValue) = 0;
    virtual void writeDouble(const char* name, const double& value) = 0;
    // C texts with a default compare by pointer: the default's own pointer is
    // not written, an equal text in another buffer is.
    virtual void writeCStringDefault(const char* name, const char* const& value,
                                     const char* const& defaultValue) = 0;
    virtual void writeCString(const char* name, const char* const& value) = 0;
    virtual void writeStringDefault(const char* name, const FString& value, const FString& defaultValue) = 0;
    virtual void writeString(const char* name, const FString& value) = 0;

    virtual void readBoolDefault(const char* name, bool& value, const bool& defaultValue) = 0;
    virtual void readBool(const char* name, bool& value) = 0;
    virtual void readUIntDefault(const char* name, std::uint32_t& value,
                                 const std::uint32_t& defaultValue) = 0;
    virtual void readUInt(const char* name, std::uint32_t& value) = 0;
    virtual void readIntDefault(const char* name, std::int32_t& value, const std::int32_t& defaultValue) = 0;
    virtual void readInt(const char* name, std::int32_t& value) = 0;
    virtual void readDoubleDefault(const char* name, double& value, const double& defaultValue) = 0;
    virtual void readDouble(const char* name, double& value) = 0;
    // The text is copied into a new block of engine memory (k_memCString) that
    // the caller owns and frees with engineFree; a pointer already held in
    // `value` is not freed.
    virtual void readCStringDefault(const char* name, char*& value, const char* const& defaultValue) = 0;
    virtual void readCString(const char* name, char*& value) = 0;
    virtual void readStringDefault(const char* name, FString& value, const FString& defaultValue) = 0;
    virtual void readString(const char* name, FString& value) = 0;

    // Enters the array `name`. Saving stores `count` unless it is -1; loading
    // sets it to the stored count, -1 when none is stored.
    virtual void beginArray(const char* name, std::int32_t& count) = 0;
    virtual void endArray(const char* name) = 0;

    // Item `index` of the current array ("_0", "_1", ...), entered without a
    // count.
    void beginItem(std::int32_t index);
    void endItem(std::int32_t index);

    bool isLoading() const noexcept { return m_loading; }
    // Numeric reads set this to their own result; range-tested reads clear it.
    bool isValid() const noexcept { return m_valid; }
    void setValid(bool valid) noexcept { m_valid = valid; }

    FSerializer* observer() const noexcept { return m_observer; }
    void setObserver(FSerializer* observer) noexcept { m_observer = observer; }

    // Field masks of the catalogue records, registered by whoever starts the
    // serialization and looked up on the last serializer of the observer chain.
    // The serializer does not own the masks.
    void setFieldMask(std::int32_t key, std::uint32_t* mask);
    // The mask registered under `key` on the last serializer of the chain; a
    // failure when none is.
    std::uint32_t fieldMask(std::int32_t key) const;

private:
    FSerializer* m_observer = nullptr;
    std::map<std::int32_t, std::uint32_t*> m_masks;
    bool m_valid = true;
    bool m_loading;
};

// Saves or loads an FString field.
void serializeValue(FSerializer& serializer, const char* name, FString& value);

// The narrow integer types that serializeValue range-tests, with the text of
// the warning logged when a loaded value lies outside the type.
template <class T> struct FSerializerRange;
template <> struct FSerializerRange<unsigned char>
{
    static constexpr const char* k_message = "Outside limits of unsigned char (";
};
template <> struct FSerializerRange<short>
{
    static constexpr const char* k_message = "Outside limits of short (";
};
template <> struct FSerializerRange<int>
{
    static constexpr const char* k_message = "Outside limits of int (";
};

// Saves an integer through the 32-bit operation of its signedness, or loads
// it into a 32-bit temporary: a loaded value outside the type leaves `value`
// unchanged, clears the serializer's valid flag and logs a warning.
template <class T>
requires requires
{
    FSerializerRange<T>::k_message;
}
void serializeValue(FSerializer& serializer, const char* name, T& value)
{
    using Wide = std::conditional_t<std::is_signed_v<T>, std::int32_t, std::uint32_t>;
    Wide wide = static_cast<Wide>(value);
    if (!serializer.isLoading()) {
        if constexpr (std::is_signed_v<T>) {
            serializer.writeInt(name, wide);
        } else {
            serializer.writeUInt(name, wide);
        }
        return;
    }
    if constexpr (std::is_signed_v<T>) {
        serializer.readInt(name, wide);
    } else {
        serializer.readUInt(name, wide);
    }
    if (std::cmp_less(wide, std::numeric_limits<T>::min()) ||
        std::cmp_greater(wide, std::numeric_limits<T>::max())) {
        serializer.setValid(false);
        ZIBBO_LOG(k_logWarn, true) << FSerializerRange<T>::k_message << wide << ")";
        return;
    }
    value = static_cast<T>(wide);
}

// Saves or loads a vector of records as the array `name` with one item per
// record, each through the record's own serialize(FSerializer&). Loading
// replaces the vector's content with `count` fresh records.
template <class Record>
void serializeContainer(FSerializer& serializer, const char* name, std::vector<Record>& records)
{
    std::int32_t count = static_cast<std::int32_t>(records.size());
    serializer.beginArray(name, count);
    if (serializer.isLoading()) {
        records.clear();
        for (std::int32_t i = 0; i < count; ++i) {
            Record record;
            serializer.beginItem(i);
            record.serialize(serializer);
            serializer.endItem(i);
            records.push_back(std::move(record));
        }
    } else {
        for (std::int32_t i = 0; i < count; ++i) {
            serializer.beginItem(i);
            records[static_cast<std::size_t>(i)].serialize(serializer);
            serializer.endItem(i);
        }
    }
    serializer.endArray(name);
}

// A container of constant records can only be saved; loading skips its items
// with a warning.
template <class Record>
void serializeContainer(FSerializer& serializer, const char* name, const std::vector<Record>& records)
{
    if (!serializer.isLoading()) {
        // Saving only reads the records, whose serialize routine serves both ways.
        serializeContainer(serializer, name, const_cast<std::vector<Record>&>(records));
        return;
    }
    std::int32_t count = -1;
    serializer.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        ZIBBO_LOG(k_logWarn, true) << "Cannot load a const value. Ignoring STL";
    }
    serializer.endArray(name);
}
