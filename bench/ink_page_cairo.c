/* The yardstick of ink_page.sh: draws the strokes of a stroke file with cairo, one path per
 * stroke with round caps and joins, on paper of one colour, and writes a PNG.
 *   ink_page_cairo STROKES OUT.png
 * Stroke file, little-endian: "INKS", width, height and paper (0x00BBGGRR) as uint32, the
 * stroke count; then per stroke: tool (0 pen, 1 marker), colour, line width (float), alpha
 * (0-255), point count, and that many float x, y pairs in pixels. */
#include <cairo.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int ReadU32(FILE* f, uint32_t* v) {
    return fread(v, 4, 1, f) == 1;
}

static int ReadF32(FILE* f, float* v) {
    return fread(v, 4, 1, f) == 1;
}

static void SetColour(cairo_t* cr, uint32_t c, double alpha) {
    cairo_set_source_rgba(cr, (c & 255) / 255.0, (c >> 8 & 255) / 255.0, (c >> 16 & 255) / 255.0,
                          alpha);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: ink_page_cairo STROKES OUT.png\n");
        return 2;
    }
    FILE* f = fopen(argv[1], "rb");
    if (!f) {
        perror(argv[1]);
        return 1;
    }
    char magic[4];
    uint32_t width, height, paper, count;
    if (fread(magic, 4, 1, f) != 1 || memcmp(magic, "INKS", 4) != 0 || !ReadU32(f, &width) ||
        !ReadU32(f, &height) || !ReadU32(f, &paper) || !ReadU32(f, &count) || width < 1 ||
        height < 1 || width > 16384 || height > 16384) {
        fprintf(stderr, "%s: not a stroke file\n", argv[1]);
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, (int)width,
                                                          (int)height);
    cairo_t* cr = cairo_create(surface);
    SetColour(cr, paper, 1.0);
    cairo_paint(cr);
    /* The engine samples a pixel at its corner, cairo at its centre. */
    cairo_translate(cr, 0.5, 0.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    float* xy = NULL;
    uint32_t room = 0;
    for (uint32_t s = 0; s < count; ++s) {
        uint32_t tool, colour, alpha, n;
        float lineWidth;
        if (!ReadU32(f, &tool) || !ReadU32(f, &colour) || !ReadF32(f, &lineWidth) ||
            !ReadU32(f, &alpha) || !ReadU32(f, &n) || n < 1 || n > 1000000) {
            fprintf(stderr, "%s: stroke %u is damaged\n", argv[1], s);
            return 1;
        }
        if (n > room) {
            room = n;
            xy = realloc(xy, sizeof(float) * 2 * room);
        }
        if (!xy || fread(xy, sizeof(float) * 2, n, f) != n) {
            fprintf(stderr, "%s: stroke %u is cut short\n", argv[1], s);
            return 1;
        }
        SetColour(cr, colour, tool == 1 ? alpha / 255.0 : 1.0);
        cairo_set_line_width(cr, lineWidth);
        cairo_move_to(cr, xy[0], xy[1]);
        for (uint32_t i = 0; i < n; ++i)
            cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
        cairo_stroke(cr);
    }
    fclose(f);
    free(xy);
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, argv[2]);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "%s: %s\n", argv[2], cairo_status_to_string(status));
        return 1;
    }
    return 0;
}
