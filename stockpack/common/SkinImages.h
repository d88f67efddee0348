#pragma once
// CSkinImages: the skin pictures of one machine type, decoded from the
// library's "PNG" resources and kept by the type's descriptor for every
// editor of the type. A picture that is missing or does not decode leaves
// its place empty and its message behind; the editor then does not open
// instead of drawing on a hole.
//
// Threads: loaded on the user-interface thread (descriptor construction or
// a machine's creation); read-only afterwards.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "gui/Picture.h"

class CSkinImages {
public:
    CSkinImages(std::initializer_list<int> resourceIds);

    /// Decodes every picture the first time; later calls do nothing.
    void Load();
    bool IsLoaded() const { return loaded; }
    /// How many times the resources were looked up (once at most).
    int LoadCount() const { return loads; }
    /// Every picture decoded.
    bool IsComplete() const { return loaded && message.empty(); }
    /// The picture of a resource id, or null when it is not one of the
    /// type's or did not load.
    const CPicture* Get(int resourceId) const;
    /// The first failure's message ("Can't Find PNG Resource %i", or the
    /// PNG reader's), empty when all loaded.
    const std::string& Message() const { return message; }

private:
    std::vector<int> ids;
    std::vector<CPicture> pictures;
    std::vector<bool> present;
    std::string message;
    bool loaded = false;
    int loads = 0;
};

/// A machine's editor rectangle: its background picture's size at the
/// origin. False (no editor) without complete pictures.
bool SkinEditorRect(const CSkinImages* images, int backgroundId, std::int16_t* top, std::int16_t* left,
                    std::int16_t* bottom, std::int16_t* right);
