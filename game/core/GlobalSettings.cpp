#include "game/core/GlobalSettings.h"

#include "core/FLogStream.h"
#include "core/FXmlSerializer.h"
#include "game/core/SaveFileCheck.h"
#include "game/core/SaveManager.h"

GlobalSettings::GlobalSettings(SaveManager& saveManager) : m_saveManager(saveManager), m_lastProfile("<>") {}

void GlobalSettings::serialize(FSerializer& serializer)
{
    if (serializer.isLoading()) {
        SaveFileCheck::expectValue(serializer, "lastProfile");
        serializer.readString("lastProfile", m_lastProfile);
        SaveFileCheck::expectValue(serializer, "fullScreen");
        serializer.readBool("fullScreen", m_fullScreen);
    } else {
        serializer.writeString("lastProfile", m_lastProfile);
        serializer.writeBool("fullScreen", m_fullScreen);
    }
}

bool GlobalSettings::load()
{
    m_replacedDamagedFile = false;
    if (m_saveManager.savesDisabled()) {
        ZIBBO_LOG(k_logDefault, false) << "GlobalSettings::load() - External memory access is disabled...";
        return true;
    }
    FFileEntryMap found;
    m_saveManager.findFiles(found, FString(k_fileName));
    if (found.empty()) {
        ZIBBO_LOG(k_logDefault, false) << "First time running game on this machine.";
        ZIBBO_LOG(k_logDefault, false) << "Creating Global settings file...";
        return save();
    }
    const FRefT<FInStream> document =
        SaveFileCheck::readableDocument(m_saveManager.loadData(FString(k_fileName)));
    // Read into a copy, so that a malformed file leaves the fields alone.
    GlobalSettings loaded(*this);
    bool readable = document.get() != nullptr;
    if (readable) {
        try {
            FXmlSerializer serializer(document);
            loaded.serialize(serializer);
        } catch (const SaveFileCheck::Malformed& failure) {
            ZIBBO_LOG(k_logRelease, false) << "Global settings are malformed: " << failure.what();
            readable = false;
        }
    }
    if (!readable) {
        // Left as it is, the file would fail every start and keep the
        // profiles from loading. It holds no progress; a copy is kept all the
        // same, and a failed copy does not stop the rebuild.
        m_saveManager.keepAsBad(FString(k_fileName));
        m_lastProfile = FString("<>");
        m_fullScreen = true;
        m_replacedDamagedFile = true;
        ZIBBO_LOG(k_logRelease, false) << "Global settings rebuilt from the defaults.";
        return save();
    }
    m_lastProfile = loaded.m_lastProfile;
    m_fullScreen = loaded.m_fullScreen;
    ZIBBO_LOG(k_logDefault, false) << "Global settings loaded.";
    return true;
}

bool GlobalSettings::save()
{
    if (m_saveManager.savesDisabled()) {
        ZIBBO_LOG(k_logDefault, false) << "GlobalSettings::save() - External memory access is disabled...";
        return true;
    }
    const FRefT<FOutStream> stream = m_saveManager.saveData(FString(k_fileName), k_allowedBytes);
    if (waitForRefTarget(stream) == nullptr) return false;
    {
        FXmlSerializer serializer(stream, FXmlSerializer::ForWrite{});
        serialize(serializer);
        serializer.close();
        ZIBBO_LOG(k_logDefault, false) << "Global settings saved.";
    }
    return m_saveManager.writeChecksum(FString(k_fileName));
}

void GlobalSettings::setLastProfile(const FString& name)
{
    if (name == m_lastProfile) return;
    m_lastProfile = name.empty() ? FString("<>") : name;
    ZIBBO_LOG(k_logDefault, false) << "Global settings changed: LasProfileLoaded [" << m_lastProfile << "]";
    save();
}
