#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "document/document.h"
#include "document/geometry.h"
#include "document/model.h"

namespace brenvale {

struct ReadOptions {
    bool applyGeometry = true;  // take the geometry lines; off: skip them altogether
    int imageCount = kBuiltInTopicImages;
};

struct ReadResult {
    std::unique_ptr<Document> document;
    GeometryRead geometry;
};

// Reads a document file into a new Document; throws Error when the file cannot be read.
ReadResult ReadDocument(const std::string& path, const ReadOptions& options);
ReadResult ParseDocument(std::string_view bytes, const ReadOptions& options);

}  // namespace brenvale
