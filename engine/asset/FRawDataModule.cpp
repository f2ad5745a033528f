#include "asset/FRawDataModule.h"

#include "asset/FRawData.h"
#include "core/FErrorMessage.h"
#include "core/FServiceSlots.h"

FRawDataModule::FRawDataModule() : FAssetLoaderModule(k_slotRawDataLoader) {}

void FRawDataModule::load(FAsset& asset)
{
    auto* data = dynamic_cast<FRawData*>(&asset);
    if (data == nullptr) ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is raw data");
    data->readAll();
}

FAsset* FRawDataModule::newAsset()
{
    return engineNew<FRawData>(k_memObject);
}
