<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AimOptions</name>
    <message>
        <source>Size and quality</source>
        <translation>Größe und Qualität</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>File size</source>
        <translation>Dateigröße</translation>
    </message>
    <message>
        <source> kB</source>
        <translation> kB</translation>
    </message>
    <message>
        <source>Visual fidelity</source>
        <translation>Visuelle Treue</translation>
    </message>
    <message>
        <source>Limit the longest side to</source>
        <translation>Längste Seite begrenzen auf</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
    <message>
        <source>Lossless (WebP results)</source>
        <translation>Verlustfrei (WebP-Ergebnisse)</translation>
    </message>
    <message>
        <source>Keep a result only if it saves at least</source>
        <translation>Ergebnis nur behalten bei einer Ersparnis von mindestens</translation>
    </message>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>Very high: SSIM %1, for images that are edited further.
High: SSIM %2, hard to tell from the source at 100 % zoom.
Good: SSIM %3, differences show when looked for.</source>
        <translation>Sehr hoch: SSIM %1, für Bilder, die weiter bearbeitet werden.
Hoch: SSIM %2, bei 100 % Zoom kaum von der Quelle zu unterscheiden.
Gut: SSIM %3, Unterschiede zeigen sich, wenn man sie sucht.</translation>
    </message>
    <message>
        <source>The most each result may take, in kB of 1000 bytes</source>
        <translation>Wie viel jedes Ergebnis höchstens belegen darf, in kB zu 1000 Byte</translation>
    </message>
    <message>
        <source>Every image at the quality of the slider</source>
        <translation>Jedes Bild in der Qualität des Schiebereglers</translation>
    </message>
    <message>
        <source>Larger images are scaled down, keeping their proportions; smaller ones are never enlarged</source>
        <translation>Größere Bilder werden unter Beibehaltung ihrer Proportionen verkleinert; kleinere werden nie vergrößert</translation>
    </message>
    <message>
        <source>A result that does not save this much is not written: the source stays as it is</source>
        <translation>Ein Ergebnis, das nicht so viel spart, wird nicht geschrieben: Die Quelle bleibt, wie sie ist</translation>
    </message>
    <message>
        <source>Aim for</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Each WebP or JPG result as close to this size as it can get, not above</source>
        <translation>Jedes WebP- oder JPG-Ergebnis so nah wie möglich an dieser Größe, nicht darüber</translation>
    </message>
    <message>
        <source>The smallest WebP or JPG result that looks this close to its source</source>
        <translation>Das kleinste WebP- oder JPG-Ergebnis, das seiner Quelle so nah kommt</translation>
    </message>
    <message>
        <source>WebP results keep every pixel of their source; they are larger, and no file size or fidelity is aimed at</source>
        <translation>WebP-Ergebnisse behalten jedes Pixel ihrer Quelle; sie sind größer, und auf Dateigröße oder Treue wird nicht gezielt</translation>
    </message>
    <message>
        <source>Lossless applies to WebP results made from JPG or PNG images</source>
        <translation>Verlustfrei gilt für WebP-Ergebnisse aus JPG- oder PNG-Bildern</translation>
    </message>
</context>
<context>
    <name>AimScope</name>
    <message>
        <source>%1 results are lossless: there is no file size or fidelity to aim at</source>
        <translation>%1-Ergebnisse sind verlustfrei: Es gibt keine Dateigröße oder Treue, auf die gezielt werden kann</translation>
    </message>
    <message>
        <source>Animations are encoded at one quality for every frame: a file size or fidelity cannot be aimed at</source>
        <translation>Animationen werden mit einer Qualität für alle Einzelbilder kodiert: Auf Dateigröße oder Treue kann nicht gezielt werden</translation>
    </message>
    <message>
        <source>Lossless results keep every pixel: a file size or fidelity cannot be aimed at</source>
        <translation>Verlustfreie Ergebnisse behalten jedes Pixel: Auf Dateigröße oder Treue kann nicht gezielt werden</translation>
    </message>
    <message>
        <source>Very high</source>
        <translation>Sehr hoch</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Gut</translation>
    </message>
    <message>
        <source>fidelity “%1” (SSIM %2)</source>
        <translation>Treue „%1“ (SSIM %2)</translation>
    </message>
    <message>
        <source>SSIM %1</source>
        <translation>SSIM %1</translation>
    </message>
    <message>
        <source>lossless</source>
        <translation>verlustfrei</translation>
    </message>
    <message>
        <source>at most %1</source>
        <translation>höchstens %1</translation>
    </message>
    <message>
        <source>longest side %1 px</source>
        <translation>längste Seite %1 px</translation>
    </message>
    <message>
        <source>kept when at least %1 % smaller</source>
        <translation>behalten, wenn mindestens %1 % kleiner</translation>
    </message>
    <message>
        <source>Aim: %1</source>
        <translation>Ziel: %1</translation>
    </message>
</context>
<context>
    <name>AlertSheet</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ApiClient</name>
    <message>
        <source>No Network</source>
        <translation>Kein Netzwerk</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>The service&apos;s answer is longer than %1 bytes.</source>
        <translation>Die Antwort des Dienstes ist länger als %1 Bytes.</translation>
    </message>
    <message>
        <source>The service answered with a redirect to another address.</source>
        <translation>Der Dienst antwortete mit einer Umleitung auf eine andere Adresse.</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Choose Download Folder…</source>
        <translation>Download-Ordner wählen …</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Log Clipboard Text</source>
        <translation>Text der Zwischenablage protokollieren</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>My Profile</source>
        <translation>Mein Profil</translation>
    </message>
    <message>
        <source>Logout</source>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Tessaro Pro Web Site</source>
        <translation>Website von Tessaro Pro</translation>
    </message>
    <message>
        <source>About Tessaro Pro</source>
        <translation>Über Tessaro Pro</translation>
    </message>
</context>
<context>
    <name>ClosingReport</name>
    <message>
        <source>%1: the converter stopped without saying why</source>
        <translation>%1: Der Konverter hat ohne Angabe von Gründen angehalten</translation>
    </message>
    <message>
        <source>1 image was not converted</source>
        <translation>1 Bild wurde nicht konvertiert</translation>
    </message>
    <message>
        <source>%1 images were not converted</source>
        <translation>%1 Bilder wurden nicht konvertiert</translation>
    </message>
    <message>
        <source>The App fails to compress some images. Please send it to %1 and I will check it for you.</source>
        <translation>Die App konnte einige Bilder nicht komprimieren. Bitte senden Sie sie an %1, ich sehe sie mir für Sie an.</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
</context>
<context>
    <name>CompareText</name>
    <message>
        <source>measuring…</source>
        <translation>wird gemessen …</translation>
    </message>
    <message>
        <source>SSIM %1 · PSNR %2 dB</source>
        <translation>SSIM %1 · PSNR %2 dB</translation>
    </message>
    <message>
        <source>Source %1 · %2 — Result %3 · %4, %5 · %6</source>
        <translation>Quelle %1 · %2 — Ergebnis %3 · %4, %5 · %6</translation>
    </message>
    <message>
        <source>not measurable</source>
        <translation>nicht messbar</translation>
    </message>
</context>
<context>
    <name>CompareView</name>
    <message>
        <source>Comparison of source and result</source>
        <translation>Vergleich von Quelle und Ergebnis</translation>
    </message>
    <message>
        <source>Showing the result at %1 %</source>
        <translation>Zeigt das Ergebnis bei %1 %</translation>
    </message>
    <message>
        <source>Showing the source at %1 %</source>
        <translation>Zeigt die Quelle bei %1 %</translation>
    </message>
    <message>
        <source>Source left, result right, divider at %1 % of the width, zoom %2 %</source>
        <translation>Quelle links, Ergebnis rechts, Trennlinie bei %1 % der Breite, Zoom %2 %</translation>
    </message>
    <message>
        <source>Where the result differs most from the source, at %1 %</source>
        <translation>Wo das Ergebnis am stärksten von der Quelle abweicht, bei %1 %</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Computing the difference…</source>
        <translation>Unterschied wird berechnet …</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Unterschied</translation>
    </message>
</context>
<context>
    <name>CompareWindow</name>
    <message>
        <source>Sizes and quality</source>
        <translation>Größen und Qualität</translation>
    </message>
    <message>
        <source>&amp;Flip</source>
        <translation>&amp;Umschalten</translation>
    </message>
    <message>
        <source>One image at a time; Space switches between them</source>
        <translation>Ein Bild auf einmal; die Leertaste wechselt zwischen ihnen</translation>
    </message>
    <message>
        <source>&amp;Split</source>
        <translation>&amp;Geteilt</translation>
    </message>
    <message>
        <source>Source left and result right of a divider</source>
        <translation>Quelle links und Ergebnis rechts einer Trennlinie</translation>
    </message>
    <message>
        <source>&amp;Difference</source>
        <translation>&amp;Unterschied</translation>
    </message>
    <message>
        <source>A heat map of where the result differs most</source>
        <translation>Eine Wärmekarte der Stellen, an denen das Ergebnis am stärksten abweicht</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Einpassen</translation>
    </message>
    <message>
        <source>Shows the whole image</source>
        <translation>Zeigt das ganze Bild</translation>
    </message>
    <message>
        <source>Fit (Ctrl+0)</source>
        <translation>Einpassen (Strg+0)</translation>
    </message>
    <message>
        <source>100 %</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>One image pixel per screen pixel</source>
        <translation>Ein Bildpixel pro Bildschirmpixel</translation>
    </message>
    <message>
        <source>100 % (Ctrl+1)</source>
        <translation>100 % (Strg+1)</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Vorheriges</translation>
    </message>
    <message>
        <source>Shows the previous converted file</source>
        <translation>Zeigt die vorherige konvertierte Datei</translation>
    </message>
    <message>
        <source>Previous (Left, Page Up)</source>
        <translation>Vorheriges (Links, Bild auf)</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Nächstes</translation>
    </message>
    <message>
        <source>Shows the next converted file</source>
        <translation>Zeigt die nächste konvertierte Datei</translation>
    </message>
    <message>
        <source>Next (Right, Page Down)</source>
        <translation>Nächstes (Rechts, Bild ab)</translation>
    </message>
    <message>
        <source>Compare – %1</source>
        <translation>Vergleichen – %1</translation>
    </message>
    <message>
        <source>Opening “%1” and “%2”…</source>
        <translation>„%1“ und „%2“ werden geöffnet …</translation>
    </message>
    <message>
        <source>“%1” cannot be read.</source>
        <translation>„%1“ kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>“%1” is too large to show.</source>
        <translation>„%1“ ist zu groß zum Anzeigen.</translation>
    </message>
    <message>
        <source>“%1” cannot be shown: the file is damaged or not an image.</source>
        <translation>„%1“ kann nicht angezeigt werden: Die Datei ist beschädigt oder kein Bild.</translation>
    </message>
    <message>
        <source>Opening…</source>
        <translation>Wird geöffnet …</translation>
    </message>
</context>
<context>
    <name>ControlDescriptions</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>The images to convert. Arrows move, Shift and Ctrl extend the selection, Delete removes the selected files, Enter shows why a file failed.</source>
        <translation>Die zu konvertierenden Bilder. Pfeiltasten bewegen, Umschalt und Strg erweitern die Auswahl, Entf entfernt die ausgewählten Dateien, Eingabe zeigt, warum eine Datei fehlschlug.</translation>
    </message>
    <message>
        <source>Conversion</source>
        <translation>Konvertierung</translation>
    </message>
    <message>
        <source>What the files are converted from and to</source>
        <translation>Von welchem in welches Format die Dateien konvertiert werden</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>Quality of WebP images, in percent</source>
        <translation>Qualität der WebP-Bilder in Prozent</translation>
    </message>
    <message>
        <source>Quality value</source>
        <translation>Qualitätswert</translation>
    </message>
    <message>
        <source>The quality chosen, in percent</source>
        <translation>Die gewählte Qualität in Prozent</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Opens the options window</source>
        <translation>Öffnet das Optionsfenster</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stops the conversion (Escape)</source>
        <translation>Hält die Konvertierung an (Esc)</translation>
    </message>
    <message>
        <source>Start Conversion</source>
        <translation>Konvertierung starten</translation>
    </message>
    <message>
        <source>Asks for the folder and converts the listed files (Ctrl+Return)</source>
        <translation>Fragt nach dem Zielordner und konvertiert die aufgelisteten Dateien (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>How many files are converted so far</source>
        <translation>Wie viele Dateien bisher konvertiert sind</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>The files in the list and the last result</source>
        <translation>Die Dateien in der Liste und das letzte Ergebnis</translation>
    </message>
    <message>
        <source>Adds image files to the list (Ctrl+O)</source>
        <translation>Fügt der Liste Bilddateien hinzu (Strg+O)</translation>
    </message>
    <message>
        <source>Adds the images of a folder to the list</source>
        <translation>Fügt der Liste die Bilder eines Ordners hinzu</translation>
    </message>
    <message>
        <source>Removes every file from the list</source>
        <translation>Entfernt alle Dateien aus der Liste</translation>
    </message>
    <message>
        <source>About Tessaro Pro</source>
        <translation>Über Tessaro Pro</translation>
    </message>
    <message>
        <source>Log in or show your profile</source>
        <translation>Anmelden oder das eigene Profil zeigen</translation>
    </message>
    <message>
        <source>Closes the options window</source>
        <translation>Schließt das Optionsfenster</translation>
    </message>
    <message>
        <source>Adding a folder also adds the images of the folders inside it; the results keep the same subfolders</source>
        <translation>Beim Hinzufügen eines Ordners kommen auch die Bilder der darin enthaltenen Ordner hinzu; die Ergebnisse behalten dieselben Unterordner</translation>
    </message>
    <message>
        <source>If a result already exists</source>
        <translation>Wenn ein Ergebnis schon existiert</translation>
    </message>
    <message>
        <source>When a result&apos;s name is already taken in the output folder: keep both by adding a number to the new name, or skip the file</source>
        <translation>Wenn der Name eines Ergebnisses im Zielordner schon vergeben ist: beide behalten, indem der neue Name eine Nummer erhält, oder die Datei überspringen</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Voreinstellung</translation>
    </message>
    <message>
        <source>Choosing a preset applies its conversion, quality, size limit and other choices</source>
        <translation>Eine Voreinstellung zu wählen übernimmt ihre Konvertierung, Qualität, Größengrenze und übrigen Einstellungen</translation>
    </message>
    <message>
        <source>Preset actions</source>
        <translation>Voreinstellungen verwalten</translation>
    </message>
    <message>
        <source>Saves the current choices as a preset, renames or deletes the chosen one</source>
        <translation>Sichert die aktuellen Einstellungen als Voreinstellung, benennt die gewählte um oder löscht sie</translation>
    </message>
    <message>
        <source>Save results</source>
        <translation>Ergebnisse speichern</translation>
    </message>
    <message>
        <source>Where the converted images go: a folder asked for at each start, beside each source image, or always one folder</source>
        <translation>Wohin die konvertierten Bilder kommen: in einen bei jedem Start erfragten Ordner, neben jedes Quellbild oder immer in einen Ordner</translation>
    </message>
    <message>
        <source>Aim for quality</source>
        <translation>Auf Qualität zielen</translation>
    </message>
    <message>
        <source>Every image at the quality of the slider</source>
        <translation>Jedes Bild in der Qualität des Schiebereglers</translation>
    </message>
    <message>
        <source>Aim for a file size</source>
        <translation>Auf eine Dateigröße zielen</translation>
    </message>
    <message>
        <source>Each WebP or JPG result as close to this size as it can get, not above</source>
        <translation>Jedes WebP- oder JPG-Ergebnis so nah wie möglich an dieser Größe, nicht darüber</translation>
    </message>
    <message>
        <source>File size in kB</source>
        <translation>Dateigröße in kB</translation>
    </message>
    <message>
        <source>Aim for a visual fidelity</source>
        <translation>Auf eine visuelle Treue zielen</translation>
    </message>
    <message>
        <source>The smallest WebP or JPG result that looks this close to its source</source>
        <translation>Das kleinste WebP- oder JPG-Ergebnis, das seiner Quelle so nah kommt</translation>
    </message>
    <message>
        <source>Visual fidelity</source>
        <translation>Visuelle Treue</translation>
    </message>
    <message>
        <source>Longest side in pixels</source>
        <translation>Längste Seite in Pixeln</translation>
    </message>
    <message>
        <source>The most pixels a result may have on its longer side</source>
        <translation>Wie viele Pixel ein Ergebnis höchstens an seiner längeren Seite haben darf</translation>
    </message>
    <message>
        <source>WebP results keep every pixel of their source; no file size or fidelity is aimed at</source>
        <translation>WebP-Ergebnisse behalten jedes Pixel ihrer Quelle; auf Dateigröße oder Treue wird nicht gezielt</translation>
    </message>
    <message>
        <source>Minimum saving in per cent</source>
        <translation>Mindestersparnis in Prozent</translation>
    </message>
    <message>
        <source>How much smaller than its source a result must be to be kept</source>
        <translation>Um wie viel kleiner als seine Quelle ein Ergebnis sein muss, damit es behalten wird</translation>
    </message>
    <message>
        <source>Aim</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>What a conversion aims at besides the quality, as set in the options</source>
        <translation>Worauf eine Konvertierung neben der Qualität zielt, wie in den Optionen eingestellt</translation>
    </message>
</context>
<context>
    <name>DesktopIntegration</name>
    <message>
        <source>Show in folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
</context>
<context>
    <name>FileIntake</name>
    <message>
        <source>You can only upload %1 pictures</source>
        <translation>Sie können höchstens %1 Bilder hochladen</translation>
    </message>
</context>
<context>
    <name>HomeKeyboard</name>
    <message>
        <source>%1 could not be converted.</source>
        <translation>%1 konnte nicht konvertiert werden.</translation>
    </message>
</context>
<context>
    <name>HomeView</name>
    <message>
        <source>Images (%1);;All files (*)</source>
        <translation>Bilder (%1);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Choose the folder for the converted images</source>
        <translation>Ordner für die konvertierten Bilder wählen</translation>
    </message>
    <message>
        <source>The converted images cannot be written to %1.</source>
        <translation>Die konvertierten Bilder können nicht in %1 geschrieben werden.</translation>
    </message>
    <message>
        <source>%1 skipped (not taken by this conversion)</source>
        <translation>%1 übersprungen (passen nicht zu dieser Konvertierung)</translation>
    </message>
    <message>
        <source>%1 skipped (see the log for why)</source>
        <translation>%1 übersprungen (Gründe im Protokoll)</translation>
    </message>
    <message>
        <source>Cancelled · </source>
        <translation>Abgebrochen · </translation>
    </message>
    <message>
        <source>%1 converted</source>
        <translation>%1 konvertiert</translation>
    </message>
    <message>
        <source> · %1 failed</source>
        <translation> · %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source> · %1 skipped (already exist)</source>
        <translation> · %1 übersprungen (bereits vorhanden)</translation>
    </message>
    <message>
        <source>Adding files…</source>
        <translation>Dateien werden hinzugefügt …</translation>
    </message>
    <message>
        <source>No files yet</source>
        <translation>Noch keine Dateien</translation>
    </message>
    <message>
        <source>%1 %2 · %3</source>
        <translation>%1 %2 · %3</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>The list cannot change while images are being converted.</source>
        <translation>Die Liste kann nicht geändert werden, während Bilder konvertiert werden.</translation>
    </message>
    <message>
        <source>The conversion cannot start: its work folder %1 cannot be written.</source>
        <translation>Die Konvertierung kann nicht beginnen: In ihren Arbeitsordner %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source> · %1 not smaller (sources kept)</source>
        <translation> · %1 nicht kleiner (Quellen beibehalten)</translation>
    </message>
</context>
<context>
    <name>InfoWindow</name>
    <message>
        <source>About Tessaro Pro</source>
        <translation>Über Tessaro Pro</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Converts images to and from WebP in batches: WebP to JPG or PNG, JPG and PNG to WebP, and GIF to animated WebP.

The conversion runs the WebP reference tools cwebp, dwebp and gif2webp, at most five at a time. Existing files are never replaced.</source>
        <translation>Konvertiert Bilder stapelweise von und nach WebP: WebP in JPG oder PNG, JPG und PNG in WebP und GIF in animiertes WebP.

Die Konvertierung verwendet die WebP-Referenzwerkzeuge cwebp, dwebp und gif2webp, höchstens fünf gleichzeitig. Vorhandene Dateien werden nie ersetzt.</translation>
    </message>
    <message>
        <source>Closes this window</source>
        <translation>Schließt dieses Fenster</translation>
    </message>
</context>
<context>
    <name>JobAccessibleText</name>
    <message>
        <source>converted</source>
        <translation>konvertiert</translation>
    </message>
    <message>
        <source>converting</source>
        <translation>wird konvertiert</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <source>%1, converted to %2</source>
        <translation>%1, konvertiert nach %2</translation>
    </message>
    <message>
        <source>not kept: %1</source>
        <translation>nicht behalten: %1</translation>
    </message>
    <message>
        <source>its result (%1) would be %2 % larger</source>
        <translation>sein Ergebnis (%1) wäre %2 % größer</translation>
    </message>
    <message>
        <source>its result (%1) would save only %2 %</source>
        <translation>sein Ergebnis (%1) würde nur %2 % sparen</translation>
    </message>
</context>
<context>
    <name>JobRowDelegate</name>
    <message>
        <source>Show in folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>source kept</source>
        <translation>Quelle beibehalten</translation>
    </message>
</context>
<context>
    <name>JobTableModel</name>
    <message>
        <source>kept</source>
        <translation>beibehalten</translation>
    </message>
    <message>
        <source>not kept</source>
        <translation>nicht beibehalten</translation>
    </message>
    <message>
        <source>
Warning: %1</source>
        <translation>
Warnung: %1</translation>
    </message>
    <message>
        <source>%1 × %2 px</source>
        <translation>%1 × %2 px</translation>
    </message>
    <message>
        <source>quality %1</source>
        <translation>Qualität %1</translation>
    </message>
    <message>
        <source>SSIM %1</source>
        <translation>SSIM %1</translation>
    </message>
    <message>
        <source>Not kept: %1. The source stays as it is.</source>
        <translation>Nicht behalten: %1. Die Quelle bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>%1
%2
Colour profile: %3
Metadata: %4</source>
        <translation>%1
%2
Farbprofil: %3
Metadaten: %4</translation>
    </message>
</context>
<context>
    <name>JobTableView</name>
    <message>
        <source>Drop images or folders here</source>
        <translation>Bilder oder Ordner hier ablegen</translation>
    </message>
    <message>
        <source>or use Add Files in the toolbar</source>
        <translation>oder „Dateien hinzufügen“ in der Werkzeugleiste verwenden</translation>
    </message>
    <message>
        <source>&amp;Compare with Result</source>
        <translation>Mit Ergebnis &amp;vergleichen</translation>
    </message>
</context>
<context>
    <name>LaunchArguments</name>
    <message>
        <source>Converts images to and from WebP in batches: WebP to JPG or PNG, JPG and PNG to WebP, GIF to animated WebP.
A running window takes the files of a later launch. For the command line, see tessaro-convert(1).</source>
        <translation>Konvertiert Bilder stapelweise von und nach WebP: WebP in JPG oder PNG, JPG und PNG in WebP, GIF in animiertes WebP.
Ein bereits geöffnetes Fenster übernimmt die Dateien späterer Starts. Für die Befehlszeile siehe tessaro-convert(1).</translation>
    </message>
    <message>
        <source>Images or folders to add to the list.</source>
        <translation>Bilder oder Ordner, die der Liste hinzugefügt werden.</translation>
    </message>
    <message>
        <source>Converts the files at once to &lt;format&gt; (webp, jpg or png), each result next to its source, and ends with a desktop notification.</source>
        <translation>Konvertiert die Dateien sofort nach &lt;format&gt; (webp, jpg oder png), jedes Ergebnis neben seine Quelle, und endet mit einer Desktop-Benachrichtigung.</translation>
    </message>
</context>
<context>
    <name>LoginFlow</name>
    <message>
        <source>The email address is empty</source>
        <translation>Die E-Mail-Adresse ist leer</translation>
    </message>
    <message>
        <source>The password address is empty</source>
        <translation>Das Passwort ist leer</translation>
    </message>
    <message>
        <source>Please read and confirm our Privacy Policy before login your account.</source>
        <translation>Bitte lesen und bestätigen Sie unsere Datenschutzerklärung, bevor Sie sich anmelden.</translation>
    </message>
    <message>
        <source>Faild</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Your login could not be saved in &quot;%1&quot;.</source>
        <translation>Ihre Anmeldung konnte nicht in „%1“ gespeichert werden.</translation>
    </message>
    <message>
        <source>Login succeeded.</source>
        <translation>Anmeldung erfolgreich.</translation>
    </message>
</context>
<context>
    <name>LoginWindowController</name>
    <message>
        <source>I have read and agree to the Privacy Policy</source>
        <translation>Ich habe die Datenschutzerklärung gelesen und stimme ihr zu</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>Datenschutzerklärung</translation>
    </message>
    <message>
        <source>Visit our web site</source>
        <translation>Unsere Website besuchen</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>The e-mail address of your account</source>
        <translation>Die E-Mail-Adresse Ihres Kontos</translation>
    </message>
    <message>
        <source>The password of your account</source>
        <translation>Das Passwort Ihres Kontos</translation>
    </message>
    <message>
        <source>Needed before logging in</source>
        <translation>Vor der Anmeldung erforderlich</translation>
    </message>
    <message>
        <source>Logs in with this e-mail address and password</source>
        <translation>Meldet Sie mit dieser E-Mail-Adresse und diesem Passwort an</translation>
    </message>
    <message>
        <source>Opens the privacy policy in the browser</source>
        <translation>Öffnet die Datenschutzerklärung im Browser</translation>
    </message>
    <message>
        <source>Opens the web site in the browser</source>
        <translation>Öffnet die Website im Browser</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Main</source>
        <translation>Hauptleiste</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Options…</source>
        <translation>Optionen …</translation>
    </message>
</context>
<context>
    <name>ModeBox</name>
    <message>
        <source>WebP to JPG</source>
        <translation>WebP in JPG</translation>
    </message>
    <message>
        <source>WebP to PNG</source>
        <translation>WebP in PNG</translation>
    </message>
    <message>
        <source>JPG/PNG to WebP</source>
        <translation>JPG/PNG in WebP</translation>
    </message>
    <message>
        <source>GIF to WebP</source>
        <translation>GIF in WebP</translation>
    </message>
</context>
<context>
    <name>MyProfileWindowController</name>
    <message>
        <source>My Profile</source>
        <translation>Mein Profil</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Member type</source>
        <translation>Mitgliedschaft</translation>
    </message>
    <message>
        <source>Member since</source>
        <translation>Mitglied seit</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Free Member</source>
        <translation>Kostenloses Mitglied</translation>
    </message>
    <message>
        <source>Basic Member</source>
        <translation>Basis-Mitglied</translation>
    </message>
    <message>
        <source>Premium Member</source>
        <translation>Premium-Mitglied</translation>
    </message>
    <message>
        <source>Pro Member</source>
        <translation>Pro-Mitglied</translation>
    </message>
    <message>
        <source>From your account, read only</source>
        <translation>Aus Ihrem Konto, nur lesbar</translation>
    </message>
</context>
<context>
    <name>OptionsBar</name>
    <message>
        <source>Keep original dates</source>
        <translation>Originaldatum behalten</translation>
    </message>
    <message>
        <source>Options…</source>
        <translation>Optionen …</translation>
    </message>
    <message>
        <source>Give each converted file its source file&apos;s creation date</source>
        <translation>Jede konvertierte Datei erhält das Erstellungsdatum ihrer Quelldatei</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Konvertieren</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
</context>
<context>
    <name>OptionsWindow</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Conversion</source>
        <translation>Konvertierung</translation>
    </message>
    <message>
        <source>Keep colour profiles</source>
        <translation>Farbprofile beibehalten</translation>
    </message>
    <message>
        <source>Embed each source&apos;s colour profile (such as Adobe RGB or Display P3) in its result, so viewers show the right colours</source>
        <translation>Bettet das Farbprofil jeder Quelldatei (etwa Adobe RGB oder Display P3) in ihr Ergebnis ein, damit Bildbetrachter die richtigen Farben zeigen</translation>
    </message>
    <message>
        <source>Keep metadata (date taken, camera, location)</source>
        <translation>Metadaten beibehalten (Aufnahmedatum, Kamera, Ort)</translation>
    </message>
    <message>
        <source>Carry EXIF and XMP into the results. EXIF can hold the GPS location where the photo was taken.</source>
        <translation>Übernimmt EXIF und XMP in die Ergebnisse. EXIF kann den GPS-Standort enthalten, an dem das Foto aufgenommen wurde.</translation>
    </message>
    <message>
        <source>Quality applies to WebP and JPG results. Changing the conversion here keeps the files already in the list.</source>
        <translation>Die Qualität gilt für WebP- und JPG-Ergebnisse. Eine hier geänderte Konvertierung behält die Dateien, die schon in der Liste sind.</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Unterordner einbeziehen</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Keep both (add a number)</source>
        <translation>Beide behalten (Nummer anhängen)</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>If a result already exists</source>
        <translation>Wenn ein Ergebnis schon existiert</translation>
    </message>
    <message>
        <source>Save results</source>
        <translation>Ergebnisse speichern</translation>
    </message>
</context>
<context>
    <name>PresetBox</name>
    <message>
        <source>Name of the preset:</source>
        <translation>Name der Voreinstellung:</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Voreinstellung</translation>
    </message>
    <message>
        <source>Save as Preset…</source>
        <translation>Als Voreinstellung sichern …</translation>
    </message>
    <message>
        <source>Save as Preset</source>
        <translation>Als Voreinstellung sichern</translation>
    </message>
    <message>
        <source>Rename Preset…</source>
        <translation>Voreinstellung umbenennen …</translation>
    </message>
    <message>
        <source>Rename Preset</source>
        <translation>Voreinstellung umbenennen</translation>
    </message>
    <message>
        <source>Delete Preset</source>
        <translation>Voreinstellung löschen</translation>
    </message>
    <message>
        <source>Choosing a preset applies its choices</source>
        <translation>Eine Voreinstellung zu wählen übernimmt ihre Einstellungen</translation>
    </message>
    <message>
        <source>Delete “%1”</source>
        <translation>„%1“ löschen</translation>
    </message>
    <message>
        <source>There is a preset named “%1” already.</source>
        <translation>Es gibt schon eine Voreinstellung namens „%1“.</translation>
    </message>
</context>
<context>
    <name>PresetFile</name>
    <message>
        <source>yes or no</source>
        <translation>yes oder no</translation>
    </message>
    <message>
        <source>webp-to-jpg, webp-to-png, jpg-png-to-webp or gif-to-webp</source>
        <translation>webp-to-jpg, webp-to-png, jpg-png-to-webp oder gif-to-webp</translation>
    </message>
    <message>
        <source>a whole number from 0 to 100</source>
        <translation>eine ganze Zahl von 0 bis 100</translation>
    </message>
    <message>
        <source>a file size such as 200k or 1.5M</source>
        <translation>eine Dateigröße wie 200k oder 1.5M</translation>
    </message>
    <message>
        <source>very-high, high or good</source>
        <translation>very-high, high oder good</translation>
    </message>
    <message>
        <source>a whole number of pixels, 0 for no limit</source>
        <translation>eine ganze Zahl von Pixeln, 0 für keine Grenze</translation>
    </message>
    <message>
        <source>a whole number of per cent from 0 to 99</source>
        <translation>eine ganze Prozentzahl von 0 bis 99</translation>
    </message>
    <message>
        <source>keep-both or skip</source>
        <translation>keep-both oder skip</translation>
    </message>
    <message>
        <source>ask, next-to-source or a folder&apos;s absolute path</source>
        <translation>ask, next-to-source oder den absoluten Pfad eines Ordners</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1, Zeile %2: %3</translation>
    </message>
    <message>
        <source>a preset starts with its name in brackets, as in “[Web]”</source>
        <translation>eine Voreinstellung beginnt mit ihrem Namen in eckigen Klammern, wie „[Web]“</translation>
    </message>
    <message>
        <source>a second preset named “%1”</source>
        <translation>eine zweite Voreinstellung namens „%1“</translation>
    </message>
    <message>
        <source>expected “setting = value” or “[Name]”, found “%1”</source>
        <translation>erwartet „Einstellung = Wert“ oder „[Name]“, gefunden „%1“</translation>
    </message>
    <message>
        <source>a setting before the first preset&apos;s “[Name]” line</source>
        <translation>eine Einstellung vor der „[Name]“-Zeile der ersten Voreinstellung</translation>
    </message>
    <message>
        <source>unknown setting “%1”; the settings are %2</source>
        <translation>unbekannte Einstellung „%1“; die Einstellungen sind %2</translation>
    </message>
    <message>
        <source>“%1” is set twice in “%2”</source>
        <translation>„%1“ ist in „%2“ zweimal gesetzt</translation>
    </message>
    <message>
        <source>“%1” takes %2, not “%3”</source>
        <translation>„%1“ nimmt %2, nicht „%3“</translation>
    </message>
    <message>
        <source>a preset aims at a file size or at a fidelity, not both</source>
        <translation>eine Voreinstellung zielt auf eine Dateigröße oder auf eine Treue, nicht auf beides</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>ProgressBar</name>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>QualitySlider</name>
    <message>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <source>Quality of the WebP or JPG results</source>
        <translation>Qualität der WebP- oder JPG-Ergebnisse</translation>
    </message>
    <message>
        <source>PNG results are lossless: the quality setting does not apply</source>
        <translation>PNG-Ergebnisse sind verlustfrei: Die Qualitätseinstellung gilt für sie nicht</translation>
    </message>
    <message>
        <source>Lossless results keep every pixel: the quality setting does not apply</source>
        <translation>Verlustfreie Ergebnisse behalten jedes Pixel: Die Qualitätseinstellung gilt nicht</translation>
    </message>
    <message>
        <source>The file size or fidelity aimed at decides each image&apos;s quality</source>
        <translation>Die angestrebte Dateigröße oder Treue bestimmt die Qualität jedes Bildes</translation>
    </message>
</context>
<context>
    <name>RatingInvitation</name>
    <message>
        <source>Enjoying Tessaro Pro? A short rating helps others find it.</source>
        <translation>Gefällt Ihnen Tessaro Pro? Eine kurze Bewertung hilft anderen, es zu finden.</translation>
    </message>
    <message>
        <source>Rate Tessaro Pro</source>
        <translation>Tessaro Pro bewerten</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Jetzt nicht</translation>
    </message>
    <message>
        <source>Opens the rating page in the browser</source>
        <translation>Öffnet die Bewertungsseite im Browser</translation>
    </message>
    <message>
        <source>Hides this invitation</source>
        <translation>Blendet diese Einladung aus</translation>
    </message>
</context>
<context>
    <name>Reason</name>
    <message>
        <source>already exists</source>
        <translation>bereits vorhanden</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>the file name is not valid UTF-8</source>
        <translation>der Dateiname ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>the folder name is not valid UTF-8</source>
        <translation>der Ordnername ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Verzeichnis nicht gefunden</translation>
    </message>
    <message>
        <source>the file name is too long</source>
        <translation>der Dateiname ist zu lang</translation>
    </message>
    <message>
        <source>You have image(s) with height or width dimension over %1px. Please resize it before uploading</source>
        <translation>Mindestens ein Bild ist höher oder breiter als %1 px. Bitte verkleinern Sie es vor dem Hochladen</translation>
    </message>
    <message>
        <source>Error! Decoding of an animated WebP file is not supported.</source>
        <translation>Fehler! Das Dekodieren einer animierten WebP-Datei wird nicht unterstützt.</translation>
    </message>
    <message>
        <source>the conversion failed</source>
        <translation>die Konvertierung ist fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>RunFooter</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Start Conversion</source>
        <translation>Konvertierung starten</translation>
    </message>
    <message>
        <source>Converting…</source>
        <translation>Wird konvertiert …</translation>
    </message>
</context>
<context>
    <name>RunNotifier</name>
    <message>
        <source>%1 of %2 failed</source>
        <translation>%1 von %2 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message numerus="yes">
        <source>%n skipped (already exist)</source>
        <translation>
            <numerusform>%n übersprungen (bereits vorhanden)</numerusform>
            <numerusform>%n übersprungen (bereits vorhanden)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n kept as they were (not smaller)</source>
        <translation>
            <numerusform>%n unverändert gelassen (nicht kleiner)</numerusform>
            <numerusform>%n unverändert gelassen (nicht kleiner)</numerusform>
        </translation>
    </message>
    <message>
        <source>Converted 1 file</source>
        <translation>1 Datei konvertiert</translation>
    </message>
    <message>
        <source>Converted %1 files</source>
        <translation>%1 Dateien konvertiert</translation>
    </message>
</context>
<context>
    <name>SaveResultsBox</name>
    <message>
        <source>Always save the results in</source>
        <translation>Die Ergebnisse immer speichern in</translation>
    </message>
    <message>
        <source>Ask each time</source>
        <translation>Jedes Mal fragen</translation>
    </message>
    <message>
        <source>Next to each source</source>
        <translation>Neben jeder Quelle</translation>
    </message>
    <message>
        <source>Always in a folder…</source>
        <translation>Immer in einem Ordner …</translation>
    </message>
    <message>
        <source>Always in %1…</source>
        <translation>Immer in %1 …</translation>
    </message>
</context>
</TS>
