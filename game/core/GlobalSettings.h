#pragma once

#include "core/FString.h"

class FSerializer;
class SaveManager;

// The settings of the installation rather than of a player: the profile
// loaded last and the full-screen flag, in "globalsDL.dat" with its side file.
class GlobalSettings
{
public:
    static constexpr const char* k_fileName = "globalsDL.dat";
    static constexpr int32_t k_allowedBytes = 16384;

    explicit GlobalSettings(SaveManager& saveManager);
    virtual ~GlobalSettings() = default;

    // Reads the file, or creates it on first run. A file that fails its
    // check or is malformed is kept as "globalsDL.dat.bad" and rebuilt from
    // the defaults (replacedDamagedFile() then answers true). False when the
    // file could not be written. With saves disabled: true, nothing read.
    bool load();
    bool replacedDamagedFile() const { return m_replacedDamagedFile; }
    // False when the file did not reach the disk. With saves disabled: true,
    // nothing written.
    bool save();
    // Records the profile loaded last ("<>" for an empty name) and saves at
    // once when it differs from the stored one.
    void setLastProfile(const FString& name);

    virtual void serialize(FSerializer& serializer);

    const FString& lastProfile() const { return m_lastProfile; }
    bool fullScreen() const { return m_fullScreen; }

private:
    SaveManager& m_saveManager;
    FString m_lastProfile;
    bool m_fullScreen = true;
    bool m_replacedDamagedFile = false;
};
