#pragma once
// Reads the bytes of a chunked scene file (the grafter exporter's format)
// into a SceneDescription, without GL. This is the one reading of the
// format: the player's loader and `swtool scene` both start from it.
//
// The walk: a four-byte zero header, then chunks of a type and a length.
// Known chunks are read by their records, which fix their own size; the
// length only serves to pass over chunks (and controller items) the format
// does not define, and one running past the end passes over the rest of the
// file. The end chunk, or fewer than eight bytes left, ends the file.
//
// Every read is checked against the end of the file, and every array size
// against the bytes left before anything is allocated. Reading stops at the
// first problem (description.failed), keeping what came before:
//   - damage (structural): a record cut short, a negative length or count,
//     an array larger than the file, a face index outside its array, a name
//     field without its NUL;
//   - a parent or key-controller owner that no earlier item has, a sampled
//     controller of a type other than 5, a face naming a material the file
//     does not hold (checked at the end, as materials may come later).
// A sampled controller whose owner is missing is skipped with a warning.
//
// Ids name items as the loader attaches them: the first item read with the
// id, looking at objects (meshes, dummies, targets), then lights, cameras,
// particle systems; a controller owner of id 0 is the first top-level object.
#include <cstddef>
#include <cstdint>

#include "scene/scene_description.h"

SceneDescription parseSceneFile(const uint8_t* data, size_t size);
