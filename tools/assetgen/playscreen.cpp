// Ray-cast board view plus Cairo lettering laid onto the board in perspective.
#include "playscreen.h"

#include "assets.h"

#include "camera.h"
#include "procedural.h"

#include "game/asset_files.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kTableY = -kBoardThickness;
constexpr int kSamples = 3; // per texel side, along edges
// Region of the hole grid (with its gold inlay) on the board top.
constexpr double kInlayHalfWidth = 8.0;
constexpr double kInlayNearZ = 1.6;
constexpr double kInlayFarZ = -32.9;
constexpr double kRowNumberX = -8.8;
// The status line's band at the top left, where the game writes white text at (10, 7).
constexpr double kStatusBandWidth = 560.0;
constexpr double kStatusBandHeight = 32.0;

const Vec3 kLight = Normalize(Vec3{0.55, 1.0, 0.45});

struct Hit {
    BoardSurface surface;
    Vec3 point;
    Vec3 normal;
    Vec3 holeCentre;
};

// Nearest hole to a point on the board top, by row and slot.
Vec3 NearestHole(double x, double z) {
    int row = 0;
    for (int r = 1; r < kRows; ++r) {
        if (std::fabs(kRowZ[r] - z) < std::fabs(kRowZ[row] - z)) {
            row = r;
        }
    }
    int slot = 0;
    for (int s = 1; s < kSlots; ++s) {
        if (std::fabs(kSlotX[s] - x) < std::fabs(kSlotX[slot] - x)) {
            slot = s;
        }
    }
    return HoleCentre(row, slot);
}

bool OnBoardTop(double x, double z) {
    return std::fabs(x) <= kBoardHalfWidth && z <= kBoardNearZ && z >= kBoardFarZ;
}

Hit Trace(const Ray& ray) {
    const Vec3 d = ray.direction;
    const Vec3 top = ray.origin + d * (-ray.origin.y / d.y);
    if (OnBoardTop(top.x, top.z)) {
        const Vec3 c = NearestHole(top.x, top.z);
        const double dx = top.x - c.x, dz = top.z - c.z;
        if (dx * dx + dz * dz >= kHoleRadius * kHoleRadius) {
            return {BoardSurface::BoardTop, top, Vec3{0, 1, 0}, c};
        }
        // Inside the hole: leave the cylinder through its wall, or reach its floor.
        const double a = d.x * d.x + d.z * d.z, b = 2 * (dx * d.x + dz * d.z);
        const double cc = dx * dx + dz * dz - kHoleRadius * kHoleRadius;
        const double s = (-b + std::sqrt(std::max(0.0, b * b - 4 * a * cc))) / (2 * a);
        const Vec3 wall = top + d * s;
        if (wall.y > -kHoleDepth) {
            return {BoardSurface::HoleWall, wall, Normalize(Vec3{c.x - wall.x, 0, c.z - wall.z}), c};
        }
        return {BoardSurface::HoleFloor, top + d * (-kHoleDepth / d.y), Vec3{0, 1, 0}, c};
    }
    if (top.z > kBoardNearZ && std::fabs(top.x) <= kBoardHalfWidth) {
        const Vec3 front = ray.origin + d * ((kBoardNearZ - ray.origin.z) / d.z);
        if (front.y >= kTableY && front.y <= 0.0 && std::fabs(front.x) <= kBoardHalfWidth) {
            return {BoardSurface::BoardFront, front, Vec3{0, 0, 1}, Vec3{}};
        }
    }
    return {BoardSurface::Table, ray.origin + d * ((kTableY - ray.origin.y) / d.y), Vec3{0, 1, 0}, Vec3{}};
}

struct Colour {
    double r, g, b;
};

Colour Unpack(uint32_t p) {
    return {((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0};
}

Colour Scale(Colour c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

Colour Wood(Vec3 p, unsigned seed) {
    // Grain runs along the board (z); world units are spread to the wood pattern's pixels.
    return Unpack(WoodColour(-p.z * 38.0, p.x * 38.0, 0.1, seed));
}

// How much of the board shades a table point from the light (soft, 0 = lit, 1 = shadowed).
double BoardShadow(Vec3 p) {
    const Vec3 up = p + kLight * (kBoardThickness / kLight.y);
    const double ox = std::fabs(up.x) - kBoardHalfWidth;
    const double oz = std::max(up.z - kBoardNearZ, kBoardFarZ - up.z);
    const double outside = std::max(ox, oz);
    return std::clamp(0.5 - outside / 1.6, 0.0, 1.0);
}

Colour Shade(const Hit& hit) {
    switch (hit.surface) {
    case BoardSurface::Table: {
        const Vec3 p = hit.point;
        const Colour felt = Unpack(FeltColour(p.x * 30.0, p.z * 30.0, kFelt.r, kFelt.g, kFelt.b, 9u));
        // Fade into the distance and under the board's shadow.
        const double distance = std::clamp((-p.z - 10.0) / 80.0, 0.0, 0.75);
        return Scale(felt, (1.0 - 0.55 * BoardShadow(p)) * (1.0 - distance));
    }
    case BoardSurface::BoardTop: {
        const Vec3 p = hit.point;
        Colour c = Wood(p, 17u);
        // A chamfered rim: lit on the side away from the light, dark towards it.
        const double dx = p.x - hit.holeCentre.x, dz = p.z - hit.holeCentre.z;
        const double dist = std::sqrt(dx * dx + dz * dz);
        double k = 1.0;
        if (dist < kHoleRadius + 0.14) {
            const double facing = -(dx * kLight.x + dz * kLight.z) / (dist * std::hypot(kLight.x, kLight.z));
            k += 0.35 * facing * (1.0 - (dist - kHoleRadius) / 0.14);
        }
        return Scale(c, k);
    }
    case BoardSurface::BoardFront:
        return Scale(Wood(hit.point, 23u), 0.55);
    case BoardSurface::HoleWall: {
        const double depth = -hit.point.y / kHoleDepth;
        const double light = 0.25 + 0.45 * std::max(0.0, Dot(hit.normal, kLight));
        return Scale(Wood(hit.point, 17u), light * (1.0 - 0.75 * depth));
    }
    case BoardSurface::HoleFloor:
        return Scale(Wood(hit.point, 17u), 0.08);
    }
    return {0, 0, 0};
}

// One shaded sample at the texel's centre where all its sub-samples hit the same kind of
// surface; a shaded average of the sub-samples along edges.
Image RayCastView() {
    const GameCamera camera;
    Image image(kBackgroundPictureSide, kBackgroundPictureSide);
    for (int ty = 0; ty < kBackgroundPictureSide; ++ty) {
        for (int tx = 0; tx < kBackgroundPictureSide; ++tx) {
            Hit hits[kSamples * kSamples];
            bool uniform = true;
            for (int i = 0; i < kSamples * kSamples; ++i) {
                const double x = (tx + (i % kSamples + 0.5) / kSamples) * kBackgroundScaleX;
                const double y = (ty + (i / kSamples + 0.5) / kSamples) * kBackgroundScaleY;
                hits[i] = Trace(camera.RayThrough(x, y));
                uniform = uniform && hits[i].surface == hits[0].surface;
            }
            Colour c;
            if (uniform) {
                c = Shade(
                    Trace(camera.RayThrough((tx + 0.5) * kBackgroundScaleX, (ty + 0.5) * kBackgroundScaleY)));
            } else {
                c = {0, 0, 0};
                for (const Hit& hit : hits) {
                    const Colour one = Shade(hit);
                    c = {c.r + one.r, c.g + one.g, c.b + one.b};
                }
                c = Scale(c, 1.0 / (kSamples * kSamples));
            }
            image.At(tx, ty) = PackRgb(c.r, c.g, c.b);
        }
    }
    return image;
}

// Sets the Cairo transform to an affine map from board-top coordinates around `centre`
// (local x to the screen's right, local y towards the viewer, world units) to the screen.
void MapBoardPlane(cairo_t* cr, const GameCamera& camera, Vec3 centre) {
    const ScreenPoint o = camera.Project(centre);
    const ScreenPoint ax = camera.Project(centre + Vec3{-1, 0, 0});
    const ScreenPoint ay = camera.Project(centre + Vec3{0, 0, 1});
    cairo_matrix_t m;
    cairo_matrix_init(&m, ax.x - o.x, ax.y - o.y, ay.x - o.x, ay.y - o.y, o.x, o.y);
    cairo_transform(cr, &m);
}

// Gold lettering inlaid in the board top, centred on `centre`; `size` in world units.
void BoardText(Canvas& canvas, const GameCamera& camera, const char* text, Vec3 centre, double size) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    MapBoardPlane(cr, camera, centre);
    cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    const double x = -ext.x_advance / 2, y = size * 0.36;
    // An engraved look: a dark cut offset towards the viewer, then the gold face.
    cairo_move_to(cr, x + 0.04 * size, y + 0.05 * size);
    cairo_text_path(cr, text);
    cairo_set_source_rgba(cr, 0.10, 0.05, 0.01, 0.8);
    cairo_fill(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
    SetLinearGradient(cr, 0, y - size * 0.7, 0, y, {{0.0, kGoldLight}, {1.0, kGold}});
    cairo_fill(cr);
    cairo_restore(cr);
}

void GoldInlay(Canvas& canvas, const GameCamera& camera, double halfWidth, double nearZ, double farZ,
               double width) {
    const Vec3 corners[4] = {
        {halfWidth, 0, nearZ}, {-halfWidth, 0, nearZ}, {-halfWidth, 0, farZ}, {halfWidth, 0, farZ}};
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    for (const Vec3& c : corners) {
        const ScreenPoint s = camera.Project(c);
        cairo_line_to(cr, s.x, s.y);
    }
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_source_rgba(cr, 0.12, 0.06, 0.01, 0.7);
    cairo_set_line_width(cr, width + 1.5);
    cairo_stroke_preserve(cr);
    SetRgb(cr, kGold);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void StatusBand(Canvas& canvas) {
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, kStatusBandWidth, 0);
    cairo_arc(cr, kStatusBandWidth - kStatusBandHeight / 2, kStatusBandHeight / 2, kStatusBandHeight / 2,
              -M_PI / 2, M_PI / 2);
    cairo_line_to(cr, 0, kStatusBandHeight);
    cairo_close_path(cr);
    SetLinearGradient(cr, 0, 0, kStatusBandWidth, 0, {{0.0, {0, 0, 0}, 0.75}, {1.0, {0, 0, 0}, 0.55}});
    cairo_fill_preserve(cr);
    SetRgb(cr, kGold, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

Image DrawBackground() {
    const GameCamera camera;
    Canvas canvas(kBackgroundPictureSide, kBackgroundPictureSide, kBackgroundScaleX, kBackgroundScaleY);
    canvas.PaintTexels(RayCastView());
    GoldInlay(canvas, camera, kInlayHalfWidth, kInlayNearZ, kInlayFarZ, 2.0);
    GoldInlay(canvas, camera, kBoardHalfWidth - 0.3, kBoardNearZ - 0.3, kBoardFarZ + 0.3, 1.2);
    for (int row = 0; row < kRows; ++row) {
        const std::string number = std::to_string(row + 1);
        BoardText(canvas, camera, number.c_str(), Vec3{kRowNumberX, 0, kRowZ[row]}, 0.9);
    }
    BoardText(canvas, camera, "QUORVANTIS", Vec3{0, 0, (kInlayNearZ + kBoardNearZ) / 2 + 0.2}, 2.2);
    Vignette(canvas, 0.45);
    StatusBand(canvas);
    TextStyle hint{"DejaVu Serif", false, true, 19};
    PlainText(canvas, "Scegli i colori con i pulsanti a sinistra", hint, 512, 600, Align::Centre, kCream,
              0.55);
    return canvas.ToImage();
}

} // namespace

BoardSurface SurfaceAt(double screenX, double screenY) {
    return Trace(GameCamera().RayThrough(screenX, screenY)).surface;
}

const Image& PlayBackground() {
    static const Image background = DrawBackground();
    return background;
}

void PaintBackgroundUnder(Canvas& canvas, double x0, double y0) {
    cairo_surface_t* s = SurfaceFromImage(PlayBackground());
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    cairo_translate(cr, -x0, -y0);
    cairo_scale(cr, kBackgroundScaleX, kBackgroundScaleY);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

bool GeneratePlayBackground(const std::string& runDir) {
    return WritePng(GameFolder(runDir, game_folders::kPictures) + asset_files::kBackground, PlayBackground(),
                    false);
}
