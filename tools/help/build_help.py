#!/usr/bin/env python3
"""Writes the help projects of both languages (pages, pop-up texts, window
type "main") into OUTDIR, ready for chmcmd:

    build_help.py OUTDIR

German pages are written in Windows-1252, English ones in ASCII. The page
names are the ones the screensaver's topic table asks for."""
import os
import sys

# page name: (German title, German text, English title, English text)
PAGES = {
    "index": ("Tandrovi Wendelby 3", "Eine Straße als Bildschirmschoner: Menschen und Tiere auf dem Gehweg, "
              "ein Bus nach Fahrplan, eine Straßenbahn, Autos, Flugzeuge, eine Uhr, das Wetter eines Flughafens, "
              "Sprechblasen, Klang und Musik. Jede Seite der Einstellungen hat hier ihre eigene Hilfe.",
              "Tandrovi Wendelby 3", "A street as a screensaver: people and animals on the pavement, a bus that "
              "keeps its timetable, a tram, cars, aircraft, a clock, the weather of an airport, speech bubbles, "
              "sound and music. Every page of the settings has its own help here."),
    "allgemein": ("Allgemein", "Sprache, Beenden des Bildschirmschoners und das Protokoll für die Fehlersuche.",
                  "General", "Language, how the screensaver ends and the log for finding faults."),
    "tagnacht": ("Tag und Nacht", "Ab welcher Stunde es Tag und ab welcher es Nacht wird, und in welchen Monaten "
                 "Winter ist.", "Day and night", "From which hour it is day and from which it is night, and in "
                 "which months it is winter."),
    "geschwindigkeit": ("Geschwindigkeit", "Wie schnell das Bild läuft, wie schnell Fußgänger gehen und Autos "
                        "fahren, und wie viele Figuren zugleich unterwegs sind.", "Speed", "How fast the picture "
                        "runs, how fast people walk and cars drive, and how many figures are out at once."),
    "buskommt": ("Fahrplan", "Alle wie viele Minuten der Bus kommt, bei Tag, in der Dämmerung und bei Nacht, und "
                 "ob die Straßenbahn fährt.", "Timetable", "Every how many minutes the bus comes, by day, at dusk "
                 "and at night, and whether the tram runs."),
    "busbeschriftung": ("Busbeschriftung", "Eigene Bilder für die Werbung auf dem Bus.", "Bus lettering",
                        "Your own pictures for the advertising on the bus."),
    "sbahnbeschriftung": ("Straßenbahnbeschriftung", "Eigene Bilder für die Werbung auf der Straßenbahn.",
                          "Tram lettering", "Your own pictures for the advertising on the tram."),
    "lkwbeschriftung": ("Lkw-Beschriftung", "Eigene Bilder für die Aufschrift des Lastwagens.", "Lorry lettering",
                        "Your own pictures for the lettering of the lorry."),
    "mitteilung": ("Mitteilungen", "Auch während der Bildschirmschoner läuft, kann jemand mit der Taste N oder "
                   "einem Klick auf das Schild eine Mitteilung hinterlassen. Zettler zeigt sie danach an.",
                   "Messages", "Even while the screensaver runs, someone can leave a message with the key N or a "
                   "click on the sign. Zettler shows them afterwards."),
    "sound": ("Klang", "Welche Geräusche die Straße macht: Motoren, Hupen, Vögel, Hund, Türen, Kirchturmuhr, "
              "Glocken und Wecker.", "Sound", "Which sounds the street makes: engines, horns, birds, the dog, "
              "doors, the tower clock, bells and the alarm."),
    "musik": ("Musik", "Wann Musiker kommen und welche Musik sie spielen: eine Wiedergabeliste oder Winamp.",
              "Music", "When musicians come and what they play: a playlist or Winamp."),
    "interaktion": ("Interaktion", "Was ein Klick auf Figuren, Fenster und Schilder bewirkt.", "Interaction",
                    "What a click on figures, windows and signs does."),
    "uhr": ("Uhr", "Welche Uhr über der Straße hängt.", "Clock", "Which clock hangs above the street."),
    "gehweg": ("Gehweg", "Welche Poller den Gehweg säumen.", "Pavement", "Which posts line the pavement."),
    "email": ("E-Mail", "Ob der Bildschirmschoner auf neue Nachrichten achtet und den Briefträger schickt.",
              "E-mail", "Whether the screensaver watches for new mail and sends the postman."),
    "wetter": ("Wetter", "Das Wetter eines Flughafens in Ihrer Nähe: Land und Station wählen, wie oft es "
               "abgefragt wird und ob in Grad Fahrenheit angezeigt wird.", "Weather", "The weather of an airport "
               "near you: choose the country and the station, how often it is fetched and whether it is shown in "
               "degrees Fahrenheit."),
    "sprechblasen": ("Sprechblasen", "Schrift und Texte der Sprechblasen der Figuren.", "Speech bubbles",
                     "Font and texts of the figures' speech bubbles."),
    "hausbeschriftung": ("Hausbeschriftung", "Eigene Schriftzüge für die vier Häuser.", "House lettering",
                         "Your own lettering for the four houses."),
    "tarvo": ("Geburtstage", "Geburtstage und Jahrestage mit Erinnerung: an den Tagen davor kommt Tarvo und "
              "erinnert daran.", None, None),
}

# pop-up id: (German, English)
POPUPS = {
    107: ("Die Sprache der Einstellungen und der Texte im Bildschirmschoner.", "The language of the settings and of the texts in the screensaver."),
    108: ("Wodurch der Bildschirmschoner endet: Maus, Taste oder nur bestimmte Tasten.", "What ends the screensaver: the mouse, a key or only certain keys."),
    109: ("Sucht nach einer neueren Fassung.", "Looks for a newer version."),
    140: ("Die Stunde, ab der es Tag ist.", "The hour from which it is day."),
    141: ("Die Stunde, ab der es Nacht ist.", "The hour from which it is night."),
    142: ("Der erste Wintermonat.", "The first month of winter."),
    143: ("Wie viele Monate der Winter dauert.", "How many months winter lasts."),
    144: ("Zeigt den Tageslauf im Bild.", "Shows the course of the day in the picture."),
    120: ("Wie schnell das Bild läuft.", "How fast the picture runs."),
    121: ("Wie schnell die Fußgänger gehen.", "How fast people walk."),
    122: ("Die kleinste Geschwindigkeit der Autos.", "The lowest speed of the cars."),
    123: ("Die größte Geschwindigkeit der Autos.", "The highest speed of the cars."),
    124: ("Wie viele Figuren zugleich unterwegs sind.", "How many figures are out at once."),
    310: ("Bus bei Tag: alle wie viele Minuten.", "Bus by day: every how many minutes."),
    311: ("Bus in der Dämmerung: alle wie viele Minuten.", "Bus at dusk: every how many minutes."),
    312: ("Bus bei Nacht: alle wie viele Minuten.", "Bus at night: every how many minutes."),
    313: ("Ob und wann die Straßenbahn fährt.", "Whether and when the tram runs."),
    314: ("Die Straßenbahn fährt oft.", "The tram runs often."),
    315: ("Die Straßenbahn fährt selten.", "The tram runs rarely."),
    316: ("Zeigt den Fahrplan im Bild.", "Shows the timetable in the picture."),
    301: ("Die Liste Ihrer Bilder.", "The list of your pictures."),
    302: ("Fügt ein Bild hinzu.", "Adds a picture."),
    303: ("Die Vorschau des gewählten Bildes.", "The preview of the chosen picture."),
    304: ("Entfernt das gewählte Bild aus der Liste.", "Removes the chosen picture from the list."),
    160: ("Erlaubt Mitteilungen im laufenden Bildschirmschoner.", "Allows messages in the running screensaver."),
    161: ("Zeigt nach dem Ende einen Hinweis auf neue Mitteilungen.", "Shows a notice of new messages after the end."),
    162: ("Der Ordner, in dem die Mitteilungen liegen.", "The folder that holds the messages."),
    163: ("Welches Schild die Mitteilungen ankündigt.", "Which sign announces the messages."),
    130: ("Welche Uhr über der Straße hängt.", "Which clock hangs above the street."),
    131: ("Welche Poller den Gehweg säumen.", "Which posts line the pavement."),
    330: ("Schaltet dieses Geräusch ein oder aus.", "Switches this sound on or off."),
    331: ("Wie laut die Geräusche sind.", "How loud the sounds are."),
    332: ("Wann die Glocken läuten.", "When the bells ring."),
    333: ("Wann der Wecker klingelt.", "When the alarm rings."),
    170: ("Ob Musiker kommen.", "Whether musicians come."),
    171: ("Die Wiedergabeliste der Musik.", "The playlist of the music."),
    172: ("Spielt die Liste in zufälliger Folge.", "Plays the list in random order."),
    175: ("Was ein Klick auf eine Figur bewirkt.", "What a click on a figure does."),
    176: ("Ob Figuren sprechen.", "Whether figures speak."),
    177: ("Ob Klicks überhaupt beachtet werden.", "Whether clicks are taken at all."),
    180: ("Ob auf neue E-Mail geachtet wird.", "Whether new mail is watched for."),
    181: ("Ruft das Mailprogramm auf.", "Opens the mail program."),
    182: ("Zeigt, wie der Briefträger aussieht.", "Shows what the postman looks like."),
    250: ("Die Texte der gewählten Figur.", "The texts of the chosen figure."),
    251: ("Die Figur, deren Texte Sie bearbeiten.", "The figure whose texts you edit."),
    252: ("Die Schrift der Sprechblasen.", "The font of the speech bubbles."),
    254: ("Übernimmt oder verwirft den Text.", "Takes or drops the text."),
    257: ("Liest Texte aus einer Datei.", "Reads texts from a file."),
    258: ("Schreibt die Texte in eine Datei.", "Writes the texts to a file."),
    231: ("Motorengeräusche der Fahrzeuge.", "Engine sounds of the vehicles."),
    232: ("Hupen.", "Horns."),
    233: ("Die Straßenbahn.", "The tram."),
    234: ("Der Fotoapparat.", "The camera."),
    235: ("Die Vögel.", "The birds."),
    236: ("Der Hund.", "The dog."),
    237: ("Die Kirchturmuhr.", "The tower clock."),
    238: ("Die Glocken.", "The bells."),
    239: ("Die Türen.", "The doors."),
    450: ("Die Lautstärke der Musik.", "The volume of the music."),
    470: ("Zeigt das Wetter im Bild.", "Shows the weather in the picture."),
    471: ("Das Land des Flughafens.", "The country of the airport."),
    472: ("Der Flughafen, dessen Wetter gezeigt wird.", "The airport whose weather is shown."),
    473: ("Alle wie viele Minuten das Wetter abgefragt wird.", "Every how many minutes the weather is fetched."),
    474: ("Grad Celsius oder Fahrenheit.", "Degrees Celsius or Fahrenheit."),
    475: ("Der Weg ins Internet: direkt oder über einen Proxy.", "The way to the internet: direct or through a proxy."),
    476: ("Holt das Wetter jetzt.", "Fetches the weather now."),
    480: ("Die Schrift dieses Hauses.", "The lettering's font of this house."),
    481: ("Der Text auf diesem Haus.", "The text on this house."),
    482: ("Die Farbe der Schrift.", "The colour of the lettering."),
    483: ("Die eingebaute Beschriftung.", "The built-in lettering."),
    484: ("Die Vorschau des Hauses.", "The preview of the house."),
    485: ("Die Größe der Schrift.", "The size of the lettering."),
    486: ("Fette Schrift.", "Bold lettering."),
    487: ("Schräge Schrift.", "Italic lettering."),
    421: ("Die Liste der Geburtstage.", "The list of birthdays."),
    422: ("Der Name.", "The name."),
    426: ("Das Datum.", "The date."),
    427: ("Wie viele Tage vorher erinnert wird.", "How many days before the reminder starts."),
    428: ("Fügt einen Geburtstag hinzu.", "Adds a birthday."),
    429: ("Der Text der Sprechblase; leer zeigt den Namen.", "The text of the bubble; empty shows the name."),
    430: ("Entfernt den Geburtstag.", "Removes the birthday."),
}

LANGS = {
    "d": {"chm": "Wyn03d.chm", "popups": "popups.txt", "encoding": "cp1252", "title": "Tandrovi Wendelby 3 - Hilfe",
          "lang": "0x407 German (Germany)", "idx": 0, "html_lang": "de"},
    "en": {"chm": "Wyn03e.chm", "popups": "popups_en.txt", "encoding": "ascii", "title": "Tandrovi Wendelby 3 - Help",
           "lang": "0x809 English (United Kingdom)", "idx": 2, "html_lang": "en"},
}



def page_html(title, text, lang, charset):
    return (f'<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN">\r\n<html lang="{lang}">\r\n<head>\r\n'
            f'<meta http-equiv="Content-Type" content="text/html; charset={charset}">\r\n'
            f'<title>{title}</title>\r\n</head>\r\n<body>\r\n<h1>{title}</h1>\r\n<p>{text}</p>\r\n'
            f'<p><a href="index.html">{"Inhalt" if lang == "de" else "Contents"}</a></p>\r\n</body>\r\n</html>\r\n')


def write(path, text, encoding):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.encode(encoding))


def build(out, code):
    conf = LANGS[code]
    root = os.path.join(out, code)
    files = []
    for name, texts in PAGES.items():
        title, text = texts[conf["idx"]], texts[conf["idx"] + 1]
        if title is None:
            continue
        rel = f"html/{code}/{name}.html"
        charset = "windows-1252" if conf["encoding"] == "cp1252" else "us-ascii"
        write(os.path.join(root, rel), page_html(title, text, conf["html_lang"], charset), conf["encoding"])
        files.append(rel)
    popup_index = 0 if code == "d" else 1
    popups = "".join(f".topic {pid}\r\n{texts[popup_index]}\r\n\r\n" for pid, texts in sorted(POPUPS.items()))
    write(os.path.join(root, conf["popups"]), popups, conf["encoding"])
    files.append(conf["popups"])
    toc = ('<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\r\n<html><body>\r\n<ul>\r\n' +
           "".join(f'<li><object type="text/sitemap"><param name="Name" value="{PAGES[f.split("/")[-1][:-5]][conf["idx"]]}">'
                   f'<param name="Local" value="{f}"></object>\r\n' for f in files if f.endswith(".html")) +
           "</ul>\r\n</body></html>\r\n")
    toc_name = conf["chm"].replace(".chm", ".hhc")
    write(os.path.join(root, toc_name), toc, conf["encoding"])
    index = f"html/{code}/index.html"
    hhp = ("[OPTIONS]\r\nCompatibility=1.1 or later\r\n"
           f"Compiled file={conf['chm']}\r\nContents file={toc_name}\r\nDefault Window=main\r\n"
           f"Default topic={index}\r\nLanguage={conf['lang']}\r\nTitle={conf['title']}\r\n\r\n"
           "[WINDOWS]\r\n"
           f'main="{conf["title"]}","{toc_name}",,"{index}","{index}",,,,,0x2520,,0x3006,[20,20,660,520],,,,,,,0\r\n\r\n'
           "[FILES]\r\n" + "".join(f + "\r\n" for f in files))
    write(os.path.join(root, conf["chm"].replace(".chm", ".hhp")), hhp, conf["encoding"])


def main():
    out = sys.argv[1]
    for code in LANGS:
        build(out, code)


if __name__ == "__main__":
    main()
