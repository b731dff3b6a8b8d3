#pragma once
// The sizes of a document's pages as the view may lay them out: points, with
// each page's own rotation applied, every side within what a PDF may state
// (200 inches), so layout never divides by 0 and its pixel figures stay far
// from integer overflow. A larger page keeps its shape and is scaled down to
// fit (TileRenderer draws it so); an unreadable page takes its neighbour's size.

#include "shim/shim_engine.h"

#include <QSizeF>
#include <QVector>

#include <atomic>
#include <optional>

// Every page's size, from 0; nothing once *cancelled turns true. Needs the
// document to itself.
std::optional<QVector<QSizeF>> readPageSizes(fz_context *ctx, fz_document *doc, int pageCount,
                                             const std::atomic<bool> *cancelled);
