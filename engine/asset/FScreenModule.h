#pragma once

#include "asset/FScreenFileReader.h"
#include "asset/FScreenRegistry.h"
#include "asset/FScreenService.h"
#include "core/FModule.h"
#include "core/FMutex.h"
#include "io/FFileSystem.h"

#include <list>
#include <map>
#include <vector>

struct FSystemLocale;

// Mounts the asset kits when launched and reads screen files into the id
// registry on request, counting how many bindings use each folder.
//
// An id that several folders put into the registry is counted per use, so
// unbinding one folder leaves the entries another folder still uses. A read
// that fails takes back what it added. Bindings and unbindings from
// different threads are serialised by the module's lock.
class FScreenModule : public FModule, public FScreenService
{
public:
    static constexpr int k_priority = 15;

    explicit FScreenModule(FScreenFileReader::ObjectFactory factory);
    ~FScreenModule() override;

    int priority() const override { return k_priority; }
    // Mounts the kits for the system's interface language.
    void onLaunch() override;

    // Mounts the main, update and language kits for the locale's language
    // and takes the application's name from "GWTarget".
    void loadAssetKits(const FSystemLocale& locale);

    FScreenRegistry& registry() override { return m_registry; }
    void readScreenFile(FScreenOwner* owner, int32_t folder, int32_t hint, int32_t language,
                        bool reload) override;
    void unbind(int32_t folder) override;

    int32_t useCount(int32_t folder) const;
    const std::list<FRefT<FFileSystem>>& kits() const { return m_kits; }

private:
    void takeBack(const std::vector<int32_t>& ids, std::size_t from);

    std::list<FRefT<FFileSystem>> m_kits;
    mutable FMutex m_bindLock;
    std::vector<int32_t> m_folderUseCounts;
    std::vector<std::vector<int32_t>> m_folderIds;
    std::map<int32_t, int32_t> m_idUses;
    FScreenRegistry m_registry;
    FScreenFileReader::ObjectFactory m_factory;
};
