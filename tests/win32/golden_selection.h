// The selection the small test host exports, under Wine and on Linux alike, and whose sheets
// tests/win32/golden/ holds: four tracks of one album, the second and third sharing one file, the
// fourth in another format. Every character fits windows-1252 (ü ß é É – € „ “ ’), so the ANSI
// forms hold the same text as the UTF-8 ones. Plain tables, so that the restricted C++ of the
// Windows host reads them as well as the Linux build does.
#pragma once

#include "abi/track_info.h"
#include "abi/types.h"

namespace golden {

struct field {
    const char* name;
    const char* values[3];  // in order, ended by the first null
};

struct track {
    const char* path;
    double length;  // seconds
    replaygain_values replaygain;
    field fields[12];  // ended by the first without a name
};

constexpr float gain_not_set = replaygain_values::gain_not_set;
constexpr float peak_not_set = replaygain_values::peak_not_set;

// Shared by every track: album artist, album, genre, catalog and the two-line comment are
// album-wide; artist, songwriter and date are not.
#define GOLDEN_ALBUM_FIELDS                                   \
    field{"ALBUM ARTIST", {"Orchestre Élan"}},                \
    field{"album", {"Café–Konzert"}},                         \
    field{"genre", {"Klassik"}},                              \
    field{"catalog", {"4006381333931"}},                      \
    field{"comment", {"Mitschnitt\r\nZürich"}}

// Album gain, track gain, album peak, track peak.
inline constexpr track tracks[] = {
    {"file://C:\\Musik\\Café–Konzert\\01 Ouvertüre.flac",
     245.5,
     {-7.25f, -6.5f, 0.998f, 0.98f},
     {GOLDEN_ALBUM_FIELDS,
      field{"artist", {"Anna Kühn"}},
      field{"title", {"„Ouvertüre“ (Live)"}},
      field{"date", {"1999"}},
      field{"songwriter", {"Jürgen Maß"}},
      field{"ISRC", {"DEA129900001"}}}},
    {"file://C:\\Musik\\Café–Konzert\\02 Straße.flac",
     180.25,
     {-7.25f, 1.5f, 0.998f, 1.0f},
     {GOLDEN_ALBUM_FIELDS,
      field{"artist", {"Anna Kühn", "Bernd Öhl"}},
      field{"title", {"Die \"große\" Straße"}},
      field{"date", {"1999"}},
      field{"songwriter", {"Jürgen Maß"}}}},
    {"file://C:\\Musik\\Café–Konzert\\02 Straße.flac",
     60.0,
     {gain_not_set, gain_not_set, peak_not_set, peak_not_set},
     {GOLDEN_ALBUM_FIELDS,
      field{"artist", {"Anna Kühn"}},
      field{"title", {"Straße – Coda"}},
      field{"date", {"2000"}},
      field{"songwriter", {"Carla Ruiz"}}}},
    {"file://C:\\Musik\\Café–Konzert\\04 Finale.mp3",
     200.4,
     {-7.25f, -3.21f, 0.998f, 0.75f},
     {GOLDEN_ALBUM_FIELDS,
      field{"artist", {"Anna Kühn"}},
      field{"title", {"Finale’s €-Tanz\tReprise"}},
      field{"date", {"2000"}},
      field{"songwriter", {"Jürgen Maß"}},
      field{"ISRC", {"DEA129900004"}}}},
};

#undef GOLDEN_ALBUM_FIELDS

inline constexpr t_uint32 track_count = sizeof tracks / sizeof tracks[0];

// The technical information every track carries; the sheet shows none of it.
struct info_entry {
    const char* name;
    const char* value;
};
inline constexpr info_entry infos[] = {{"samplerate", "44100"}, {"channels", "2"}};
inline constexpr t_uint32 info_count = sizeof infos / sizeof infos[0];

}  // namespace golden
