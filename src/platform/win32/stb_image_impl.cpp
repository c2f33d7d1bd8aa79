// The one translation unit that compiles the stb_image decoder, limited to the still formats.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 32767
// A scan may name a Huffman table that the file never defined, and stb then decodes with the
// table's memory as it was allocated: left as the heap had it, that sent a code 16 MB outside
// the table. Zeroed, such a table decodes every code as symbol 0 without reading a bit.
#include <cstdlib>
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(p, size) std::realloc(p, size)
#define STBI_FREE(p) std::free(p)
#include <stb/stb_image.h>
