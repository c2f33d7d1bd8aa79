// The one translation unit that compiles stb_image_write, which the decoder tests use to make JPGs.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
