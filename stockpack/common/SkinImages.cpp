#include "stockpack/common/SkinImages.h"

#include <cstdio>

#include "framework/Error.h"

CSkinImages::CSkinImages(std::initializer_list<int> resourceIds)
    : ids(resourceIds), pictures(ids.size()), present(ids.size(), false)
{
}

void CSkinImages::Load()
{
    if (loaded)
        return;
    loaded = true;
    ++loads;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        try {
            pictures[i].LoadPNGResource(ids[i]);
            present[i] = true;
        } catch (const CError& error) {
            // The type still works without its editor; say why it has none.
            if (message.empty())
                message = error.Message();
            std::fprintf(stderr, "Corvane: %s\n", error.what());
        }
    }
}

const CPicture* CSkinImages::Get(int resourceId) const
{
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == resourceId)
            return present[i] ? &pictures[i] : nullptr;
    }
    return nullptr;
}

bool SkinEditorRect(const CSkinImages* images, int backgroundId, std::int16_t* top, std::int16_t* left,
                    std::int16_t* bottom, std::int16_t* right)
{
    const CPicture* background = images != nullptr ? images->Get(backgroundId) : nullptr;
    if (background == nullptr || !images->IsComplete())
        return false;
    *top = 0;
    *left = 0;
    *bottom = static_cast<std::int16_t>(background->GetHeight());
    *right = static_cast<std::int16_t>(background->GetWidth());
    return true;
}
