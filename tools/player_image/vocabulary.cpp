#include "player_image/vocabulary.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace pelmar::player_image {
namespace {

constexpr std::string_view kGenres[] = {
    "Rock",
    "Pop",
    "Alternative",
    "Indie",
    "Jazz",
    "Blues",
    "Classical",
    "Country",
    "Electronic",
    "Dance",
    "Hip-Hop/Rap",
    "R&B/Soul",
    "Reggae",
    "Folk",
    "Metal",
    "Punk",
    "Soundtrack",
    "World",
    "Latin",
    "Singer/Songwriter",
    "Ambient",
    "Gospel",
    "New Age",
    "Easy Listening",
    "Funk",
    "Disco",
    "Techno",
    "House",
    "Trance",
    "Ska",
    "Opera",
    "Vocal",
    "Children's Music",
    "Christmas",
    "J-Pop",
    "Chanson",
};

constexpr std::string_view kAdjectives[] = {
    "Silver",   "Broken",   "Electric",  "Quiet",         "Golden",  "Hollow",  "Velvet",
    "Midnight", "Crimson",  "Wild",      "Frozen",        "Burning", "Lonely",  "Restless",
    "Paper",    "Iron",     "Neon",      "Distant",       "Secret",  "Falling", "Painted",
    "Northern", "Southern", "Hidden",    "Electric Blue", "Empty",   "Little",  "Glass",
    "Sleeping", "Dancing",  "Wandering", "Last",          "Early",   "Lost",    "Sweet",
    "Bitter",   "Gentle",   "Savage",    "Cosmic",        "Rusty",   "Pale",    "Bright",
    "Faded",    "Endless",  "Careless",  "Holy",          "Heavy",   "Tender",  "Morning",
    "Evening",  "Scarlet",  "Amber",     "Hungry",        "Hazy",    "Static",  "Luminous",
    "Wicked",   "Honest",   "Strange",   "Violet",
};

constexpr std::string_view kNouns[] = {
    "Lights",     "Rivers",  "Horses",  "Ghosts",   "Mirrors",  "Engines",   "Shadows",
    "Birds",      "Wolves",  "Hearts",  "Stones",   "Clouds",   "Roads",     "Bells",
    "Sparrows",   "Tigers",  "Oceans",  "Machines", "Lanterns", "Strangers", "Satellites",
    "Kings",      "Queens",  "Sailors", "Dreamers", "Pilots",   "Echoes",    "Flowers",
    "Thieves",    "Saints",  "Drums",   "Comets",   "Foxes",    "Giants",    "Harbours",
    "Islands",    "Crows",   "Arrows",  "Letters",  "Windows",  "Waves",     "Rockets",
    "Doves",      "Embers",  "Tides",   "Highways", "Summers",  "Winters",   "Orchards",
    "Cathedrals", "Parades", "Radios",  "Violins",  "Monsoons", "Mountains", "Valleys",
    "Deserts",    "Planets", "Bridges", "Canyons",
};

constexpr std::string_view kFirstNames[] = {
    "Anna",   "Ben",    "Clara",  "David",   "Elena",  "Felix",  "Greta",      "Hugo",   "Ines",
    "Jonas",  "Karin",  "Lukas",  "Maria",   "Nils",   "Olivia", "Paul",       "Quinn",  "Rosa",
    "Samuel", "Tess",   "Ulla",   "Victor",  "Wendy",  "Xavier", "Yara",       "Zoë",    "José",
    "Chloé",  "Björn",  "Søren",  "Renée",   "Anaïs",  "Łukasz", "Dvořák",     "Mårten", "François",
    "Inés",   "Jürgen", "Noémie", "Ömer",    "Ailbhe", "Tomás",  "Marguerite", "Kenji",  "Priya",
    "Amara",  "Mateo",  "Lucía",  "Nikolai", "Astrid",
};

constexpr std::string_view kLastNames[] = {
    "Andersen",  "Baker",    "Castillo",   "Dubois",       "Eriksson",   "Fischer",  "García",
    "Hansen",    "Ivanova",  "Jensen",     "Kowalski",     "Larsson",    "Müller",   "Novak",
    "O'Brien",   "Petrov",   "Quinn",      "Rossi",        "Schmidt",    "Torres",   "Underwood",
    "Vasquez",   "Weber",    "Young",      "Zimmermann",   "Ødegaard",   "Núñez",    "Šimek",
    "Gonçalves", "Lefèvre",  "McAllister", "Van der Berg", "De la Cruz", "Nakamura", "Okafor",
    "Haddad",    "Kim",      "Nguyen",     "Singh",        "Moreau",     "Brennan",  "Holloway",
    "Ashford",   "Whitaker", "Lindqvist",  "Caruso",       "Fontaine",   "Rahman",   "Sokolov",
    "Delacroix",
};

constexpr std::string_view kJapaneseFamilyNames[] = {
    "山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
};
constexpr std::string_view kJapaneseGivenNames[] = {
    "花子", "太郎", "さくら", "健一", "美咲", "翔太", "あおい", "大輔", "由美", "蓮",
};
constexpr std::string_view kJapaneseWords[] = {
    "夜明け", "東京",   "桜",   "雨",   "夏の終わり", "星空",   "さよなら", "海辺",
    "ひかり", "風の歌", "約束", "月夜", "ありがとう", "青い鳥", "夢の中",
};
constexpr std::string_view kCyrillicNames[] = {
    "Группа Север",   "Ночные Снайперы", "Белые Ночи",     "Анна Соколова", "Иван Петров",
    "Ансамбль Волна", "Дмитрий Орлов",   "Мария Лебедева", "Кино и Вино",   "Зимний Сад",
};
constexpr std::string_view kCyrillicWords[] = {
    "Зима", "Ночной поезд",    "Звезда", "Дорога домой", "Песня о ветре",
    "Лето", "Последний танец", "Город",  "Река",         "Тишина",
};
constexpr std::string_view kGreekNames[] = {
    "Ελένη Παπαδοπούλου", "Νίκος Γεωργίου", "Ορχήστρα Αιγαίου", "Μαρία Κωνσταντίνου", "Τα Κύματα",
};
constexpr std::string_view kGreekWords[] = {
    "Θάλασσα", "Καλοκαίρι", "Αγάπη", "Φεγγάρι", "Ταξίδι", "Νύχτα", "Ήλιος", "Όνειρο",
};

constexpr std::string_view kTitleVerbs[] = {
    "Running",    "Waiting",    "Dancing",     "Falling",  "Driving",
    "Calling",    "Dreaming",   "Walking",     "Burning",  "Singing",
    "Holding On", "Letting Go", "Coming Home", "Breaking", "Chasing",
};
constexpr std::string_view kPlaces[] = {
    "the Rain",   "the City", "Paris",        "the Dark",    "the Morning",
    "the Valley", "the Sea",  "Berlin",       "the Wire",    "the Border",
    "the Moon",   "Tokyo",    "the Old Town", "the Station", "the Garden",
    "the Edge",   "Lisbon",   "the North",    "the Fire",    "the Window",
};
constexpr std::string_view kTitleSuffixes[] = {
    " (Live)",         " (Remastered 2009)", " (Acoustic)",          " (Radio Edit)", " (Demo)",
    " (Extended Mix)", " - Single Version",  " (feat. Rosa Caruso)", " (Reprise)",    " Pt. 2",
};
constexpr std::string_view kAlbumWords[] = {
    "Greatest Hits", "Live at the Apollo", "Sessions",   "Anthology",      "B-Sides and Rarities",
    "Unplugged",     "Volume One",         "Volume Two", "The Collection", "Deluxe Edition",
};
constexpr std::string_view kShowSubjects[] = {
    "Science",  "History", "Coffee", "Cinema", "Gardening", "Startups",   "Football",     "Physics",
    "Language", "Cooking", "Travel", "Design", "Money",     "Philosophy", "Birdwatching",
};
constexpr std::string_view kShowForms[] = {
    "Weekly", "Hour", "Talk", "Show", "Digest", "Radio", "Review", "Hour of Fun", "Notes",
};
constexpr std::string_view kEnsembles[] = {"Trio", "Quartet", "Band", "Orchestra"};
constexpr std::string_view kComments[] = {
    "Ripped from my own CD",
    "Purchased 14 March 2008",
    "Bought at the concert, signed copy",
    "Gift from Karin",
    "Vinyl rip, 24-bit, some crackle on side B",
    "Recorded live in the studio",
    "Free download from the band's website",
    "Bonus track on the Japanese edition",
};
constexpr std::string_view kPlaylistWords[] = {
    "Workout",    "Chill Evening", "Road Trip", "Party Mix",  "Sunday Morning",
    "Focus",      "Summer 2009",   "Dinner",    "Running",    "Sleep",
    "Favourites", "Car",           "Rainy Day", "Kitchen",    "Study",
    "Wedding",    "Throwbacks",    "New Finds", "Late Night", "Garden",
};

template <std::size_t N>
std::string_view any(Random& random, const std::string_view (&words)[N]) {
    return words[random.below(static_cast<std::uint32_t>(N))];
}

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

}  // namespace

std::span<const std::string_view> musicGenres() {
    return kGenres;
}

std::string personName(Random& random) {
    return concat({any(random, kFirstNames), " ", any(random, kLastNames)});
}

std::string bandName(Random& random) {
    switch (random.below(5)) {
        case 0:
            return concat({"The ", any(random, kAdjectives), " ", any(random, kNouns)});
        case 1:
            return concat({any(random, kLastNames), " & the ", any(random, kNouns)});
        case 2:
            return personName(random);
        case 3:
            return concat({any(random, kAdjectives), " ", any(random, kNouns)});
        default:
            return concat({personName(random), " ", any(random, kEnsembles)});
    }
}

std::string foreignArtistName(Random& random) {
    switch (random.below(3)) {
        case 0:
            return concat(
                {any(random, kJapaneseFamilyNames), " ", any(random, kJapaneseGivenNames)});
        case 1:
            return std::string(any(random, kCyrillicNames));
        default:
            return std::string(any(random, kGreekNames));
    }
}

std::string foreignTitle(Random& random) {
    switch (random.below(3)) {
        case 0:
            return concat({any(random, kJapaneseWords), "の", any(random, kJapaneseWords)});
        case 1:
            return std::string(any(random, kCyrillicWords));
        default:
            return concat({any(random, kGreekWords), " ", any(random, kGreekWords)});
    }
}

std::string songTitle(Random& random) {
    std::string title;
    switch (random.below(5)) {
        case 0:
            title = concat({any(random, kAdjectives), " ", any(random, kNouns)});
            break;
        case 1:
            title = concat({any(random, kTitleVerbs), " in ", any(random, kPlaces)});
            break;
        case 2:
            title = concat({any(random, kNouns), " of ", any(random, kPlaces)});
            break;
        case 3:
            title = concat({any(random, kTitleVerbs), " ", any(random, kTitleVerbs)});
            break;
        default:
            title = concat({"When the ", any(random, kNouns), " Come to ", any(random, kPlaces)});
            break;
    }
    if (random.percent(12)) {
        title.append(any(random, kTitleSuffixes));
    }
    return title;
}

std::string albumTitle(Random& random) {
    switch (random.below(4)) {
        case 0:
            return std::string(any(random, kAlbumWords));
        case 1:
            return concat({any(random, kAdjectives), " ", any(random, kNouns)});
        case 2:
            return concat({"Songs from ", any(random, kPlaces)});
        default:
            return songTitle(random);
    }
}

std::string showTitle(Random& random) {
    return concat({"The ", any(random, kShowSubjects), " ", any(random, kShowForms)});
}

std::string bookTitle(Random& random) {
    return concat(
        {"The ", any(random, kAdjectives), " ", any(random, kNouns), " of ", any(random, kPlaces)});
}

std::string episodeTitle(Random& random, std::uint32_t number) {
    return concat({"Ep. ", std::to_string(number), ": ", songTitle(random)});
}

std::string episodeDescription(Random& random) {
    std::string text = "This week we talk about ";
    const std::uint32_t sentences = random.between(2, 5);
    for (std::uint32_t i = 0; i < sentences; ++i) {
        text.append(any(random, kAdjectives)).append(" ").append(any(random, kNouns));
        text.append(", ").append(any(random, kTitleVerbs)).append(" in ");
        text.append(any(random, kPlaces)).append(". ");
    }
    text.append("With our guest ").append(personName(random)).append(".");
    return text;
}

std::string trackComment(Random& random) {
    return std::string(any(random, kComments));
}

std::string playlistName(Random& random) {
    std::string name(any(random, kPlaylistWords));
    if (random.percent(40)) {
        name.append(" ").append(std::to_string(random.between(1, 12)));
    }
    return name;
}

std::string playerName(Random& random) {
    return concat({any(random, kFirstNames), "'s Player"});
}

std::string urlSlug(std::string_view text) {
    std::string slug;
    slug.reserve(text.size());
    for (const char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (letter) {
            slug.push_back(c);
        } else if (c >= 'A' && c <= 'Z') {
            slug.push_back(static_cast<char>(c - 'A' + 'a'));
        } else if (!slug.empty() && slug.back() != '-') {
            slug.push_back('-');
        }
    }
    while (!slug.empty() && slug.back() == '-') {
        slug.pop_back();
    }
    return slug;
}

}  // namespace pelmar::player_image
