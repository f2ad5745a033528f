#pragma once

// The layout class of a world's scene (WorldNNSceneLayout): it binds the
// world's screen-file folder and files every asset under its item key in the
// table of its category. Written at build time by `kittool worldlayouts`
// from the same content table as the world's manifest, with the same ids;
// the generated code lives in the build tree only.

#include <cstdint>
#include <string>

std::string worldLayoutClass(int32_t index); // "World01SceneLayout"
std::string worldLayoutHeader(int32_t index);
std::string worldLayoutSource(int32_t index);
