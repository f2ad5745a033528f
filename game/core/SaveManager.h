#pragma once

#include "core/FRef.h"
#include "core/FString.h"
#include "io/FDigest.h"
#include "io/FDurableStorage.h"
#include "io/FFileSystem.h"
#include "io/FInStream.h"
#include "io/FOutStream.h"

#include <string>

class FMemoryOutStreambuf;

// The game's gateway to its saved files. Every saved file has a side file,
// its name followed by ".crc", holding the 20-byte SHA-1 digest of a fixed
// prefix, the file's bytes and a fixed suffix; a file whose side file is
// missing or does not match loads as absent.
//
// Crash safety. A save is two files, and a crash between writing them must
// never leave a data file next to the side file of another save (the next
// start would take the pair as damaged and replace the player's profile).
// A save therefore runs:
//   1. "<name>.tmp" (the data) and "<name>.crc.tmp" (its digest) are written
//      and flushed to the disk, and then the folder that names them;
//   2. the commit: "<name>.crc.tmp" is renamed to "<name>.crc.new"; once that
//      name exists, the new pair is complete on the disk;
//   3. "<name>.tmp" is renamed over "<name>", then "<name>.crc.new" over
//      "<name>.crc".
// Every rename is followed by a flush of the folder, so that after a power
// cut too the names appear in this order. Before anything reads or
// writes the file, recovery looks at the leftovers: with "<name>.crc.new"
// present the save had committed, so steps 3 are finished (the data first,
// when "<name>.tmp" is still there); without it the save had not, so
// "<name>.tmp" and "<name>.crc.tmp" are removed. Either way the pair that
// is judged afterwards was written by one save: the previous one or the new.
//
// The checksum work reads the save manager's own folder only (never a file
// of the same name in another mounted file system). All operations run on
// the UI thread.
class SaveManager
{
public:
    // Larger files are not ours; they are not read into memory.
    static constexpr size_t k_maxFileBytes = 1 << 20;

    // The files go through `storage` (null: the storage the program
    // installed), which must outlive the manager.
    explicit SaveManager(FDurableStorage* storage = nullptr);
    ~SaveManager();
    SaveManager(const SaveManager&) = delete;
    SaveManager& operator=(const SaveManager&) = delete;

    // Attaches the user data folder ("<XDG data>/Nuvant/<product>/") unless
    // a file system is attached already. Answers true.
    bool attachDefaultFileSystem();
    const FRefT<FFileSystem>& fileSystem() const { return m_fileSystem; }

    // The entries of the folder that match `name` (empty: no such file),
    // after recovery of an interrupted save of it.
    void findFiles(FFileEntryMap& found, const FString& name);
    // The file's bytes when it passed its check, else a handle with a null
    // target (no file system, no file, or a failed check).
    FRefT<FInStream> loadData(const FString& name);
    // A stream that takes at most `allowed` bytes of the new content of
    // `name`; nothing reaches the disk until writeChecksum. Null target when
    // no file system is attached.
    FRefT<FOutStream> saveData(const FString& name, int32_t allowed);
    // Puts the content written since saveData(name) and its side file on the
    // disk as described above. Without such content, writes the side file of
    // the file as it is. False when the save did not reach the disk (full
    // disk, missing folder); the previous save then stays.
    bool writeChecksum(const FString& name);
    bool verifyChecksum(const FString& name);
    // The digest of the file in the folder, or an empty buffer with length 0
    // when there is no such file.
    FDigestBytes computeChecksum(const FString& name);
    // Keeps a file that failed its check, and its side file, as "<name>.bad"
    // and "<name>.crc.bad" (replacing earlier ones), so that replacing it does
    // not destroy it. False when nothing could be kept.
    bool keepAsBad(const FString& name);

    // The digest of salt 1, `bytes` and salt 2.
    static FDigestBytes digestOf(const std::string& bytes);

    bool savesDisabled() const { return m_savesDisabled; }
    void disableSaves() { m_savesDisabled = true; }
    const FString& lastFileName() const { return m_lastFileName; }

private:
    // The engine path of `name` in the attached folder (empty without one).
    FString pathOf(const FString& name);
    // Finishes or rolls back an interrupted save of `name`; false when a
    // committed save could not be finished.
    bool recover(const FString& name);
    // Steps 3 of a committed save at `path`.
    bool finishCommitted(const FString& path);
    bool commit(const FString& name, const std::string& bytes);
    bool verifyBytes(const FString& name, const std::string& bytes);

    FDurableStorage& m_storage;
    FRefT<FFileSystem> m_fileSystem;
    FString m_lastFileName;
    bool m_savesDisabled = false;
    FString m_pendingName;
    FRefT<FOutStream> m_pendingStream;
    FMemoryOutStreambuf* m_pendingBuffer = nullptr;
};
