<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>Blend</name>
    <message>
        <source>Classic (RGB steps)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perceptual (OKLab)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hue, the short way (HSV)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hue, the long way (HSV)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Clipboard</name>
    <message>
        <source>the clipboard is not kept after exit: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the keeper did not answer in time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the keeper failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this option is for Huespin&apos;s own use: it reads the clipboard&apos;s content from a pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the input is not clipboard content from Huespin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot make a pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot start a process</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot take the clipboard</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Try &apos;huespin --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work in the Huespin folder of your documents folder (created when missing), as the desktop menu starts it; without it Huespin works in the current folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The first character&apos;s colour (default: Color 1 of the window).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last character&apos;s colour (default: Color 2 of the window).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NAME</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The text to print as markup, or - for each line of standard input.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[TEXT...|-]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: huespin [options] [TEXT...|-]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 needs a TEXT to print, or - for standard input.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 opens no window with a TEXT to print.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown colour &apos;%1&apos; for --%2: give #RRGGBB, RRGGBB, #RGB or an SVG colour name such as red.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Huespin turns a line of text into colour-gradient HTML: one font element a
character, the colours running from Color 1 to Color 2. The markup goes to the
clipboard or is appended to output.html in the current folder.

Given TEXT, Huespin opens no window: it prints the markup of TEXT (its words
joined by single spaces) and a line end; given -, the markup of each line of
standard input, one line for each. A COLOUR is #RRGGBB, RRGGBB, #RGB or an SVG
colour name such as cornflowerblue. Without --from or --to, the colour chosen
in the window is used; without --from, --via, --to and --preset, the window&apos;s
whole gradient, its stops and blend included. A line that is not valid UTF-8 is left out with a
message, and Huespin then ends with status 1; a mistake on the command line
ends it with status 2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A colour the gradient passes through on its way, at an equal share of the line, or at P percent of it with @P (lime@25); give it again for more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COLOUR[@P]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How the colours go from one to the next: classic (whole steps in RGB, the default), oklab (perceptual: as bright in the middle as at the ends), hsv (round the hue circle the short way) or hsv-long (the long way).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A named gradient, in place of --from, --via and --to (see --list-presets).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List the named gradients and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position &apos;%1&apos; for --via is not a number from 0 to 100.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown blend &apos;%1&apos;: give classic, oklab, hsv or hsv-long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--preset gives every colour: it goes without --from, --via and --to.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown preset &apos;%1&apos;: huespin --list-presets lists them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour the lines by column, for ASCII art: one gradient across the widest line, the character in column j of every line in its colour j. The input is read whole first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>font (&lt;font color=&quot;#RRGGBB&quot;&gt;, the default), span (&lt;span style=&quot;color:#RRGGBB&quot;&gt;), bbcode ([color=#RRGGBB]), minimessage (&lt;#RRGGBB&gt;), mc-hex (&amp;#RRGGBB), mc-legacy (&amp;x&amp;R&amp;R&amp;G&amp;G&amp;B&amp;B), mc-section (§x§R§R§G§G§B§B), mc-json (Minecraft&apos;s JSON text components, one array a line) or ansi (24-bit colour escapes for a terminal).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A format of your own, in place of --format: TEMPLATE is written for each character, with {char}, {HEX} (RRGGBB), {hex} (rrggbb), {r}, {g} and {b} (0 to 255) put in and {{ and }} for braces. It escapes nothing and takes no styles.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TEMPLATE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bold text: once for the whole text in HTML, BBCode, MiniMessage and ANSI, after each colour code in the Minecraft codes, in each component in mc-json.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Italic text, in the same way.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Underlined text, in the same way.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Struck-through text, in the same way.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obfuscated (ever-changing) text, in MiniMessage and the Minecraft formats; HTML, BBCode and ANSI have no form for it and leave it out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave spaces uncoloured: a single space is written bare, with no colour code of its own, and still counts in the gradient, so the other characters keep their colours.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown format &apos;%1&apos;: give font, span, bbcode, minimessage, mc-hex, mc-legacy, mc-section, mc-json or ansi.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--format custom takes its template from --template: give --template TEMPLATE instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--template is a format of its own: it goes without --format.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The template is empty: give --template a text such as &apos;&lt;#{HEX}&gt;{char}&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommonDialog</name>
    <message>
        <source>Choose Color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch between clipboard and file output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output goes to the file %1; click for the clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Appends the markup to %1 as %2; %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output goes to the clipboard; click for the file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puts the markup on the clipboard as %1; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings in %1 cannot be read: %2.

This window starts from the default settings and will not save them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings file %1 could not be read. It is kept as %2, and fresh settings are started.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the settings: %1 is held by another program. They are filled in when it lets go; Exit leaves them as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings cannot be saved: %1 is held by another program.

Try again, or quit without saving them?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit without saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Huespin v%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Swap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back-color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uninstall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run-time error &apos;%1&apos;:

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help &amp;&amp; About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hey wass that?! heheh.. just kiddin...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read readme.txt! I can&apos;t find your notepad!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done! (just press Ctrl+v to paste)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is held by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings were not saved in %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the store refused a change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings in %1 cannot be read: %2; this window uses the default settings and leaves the stored ones as they are</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings in %1 are held by another program; waiting for it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it could not be read when this window started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An Error Occured while trying to remove registry settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All settings removed from Registry.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>right-click or Shift+F10 for another format; Ctrl+G for the gradient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Gradient…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Style</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Style</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Leave spaces uncoloured</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>spaces uncoloured</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, with %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Template: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample text</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GradientDialog</name>
    <message>
        <source>Gradient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The gradient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stops</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a stop after the selected one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move &amp;left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected stop left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move ri&amp;ght</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected stop right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;olor...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color of the selected stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position in percent, empty for none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blend</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(choose one)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Position (%):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Blend:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pr&amp;eset:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Stops, from Color 1 to Color 2:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color 2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MarkupFormat</name>
    <message>
        <source>HTML font (classic)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTML span</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BBCode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MiniMessage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minecraft &amp;#RRGGBB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minecraft &amp;x&amp;R&amp;R&amp;G&amp;G&amp;B&amp;B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minecraft §x§R§R§G§G§B§B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minecraft JSON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Template…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MarkupStyle</name>
    <message>
        <source>Bold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Italic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Underline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strikethrough</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obfuscated</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MarkupTemplate</name>
    <message>
        <source>The template is longer than %1 characters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The template has a &apos;}&apos; at character %1 that no &apos;{&apos; opens; write }} for a brace.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The template has a &apos;{&apos; at character %1 that no &apos;}&apos; closes; write {{ for a brace.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The template has an unknown placeholder {%1}: use {char}, {HEX}, {hex}, {r}, {g} or {b}.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrintMarkup</name>
    <message>
        <source>cannot find the program&apos;s own file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot load the window: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot write the output: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8; it is not printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is 2 GiB or longer; it is not printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no memory to read the standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1 is 2 GiB or longer; it is not printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1 is too long to hold in memory; it is not printed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot read the standard input: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings in %1 cannot be read; give --from COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the settings in %1 cannot be read; give --to COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stored first colour &apos;%1&apos; cannot be read; give --from COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the stored last colour &apos;%1&apos; cannot be read; give --to COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no first colour was chosen in the window; give --from COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no last colour was chosen in the window; give --to COLOUR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>argument %1 is not valid UTF-8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the text</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Readme</name>
    <message>
        <source> Huespin v%1  /                                   14-7-98
                   /   the Huespin developers
----------------------------------------------------------------

(for &apos;whats new&apos; scroll down... =P)

</source>
        <extracomment>readme.txt, which Help &amp; About opens: plain text, lines of at most 80 characters</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Legal stuff
 -----------
Copyright (c) 1998-2026 the Huespin developers. MIT licence: free to use,
copy, change and pass on, WITHOUT ANY WARRANTY; see the file LICENSE.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Interesting stuff and what you really have to read
 --------------------------------------------------
This program creates colorized text you can than paste to your HTML
files. it works this way:
 - Enter a string
 - Choose Color[1]
 - Choose Color[2]

 Now you can [Preview] the output. When you do this, you get two more
 buttons - one to change the font of the previewed text, and one to change
 its background. fun eh? =P
 When you&apos;re done, hit [Clipboard], or the button next to it and then [File]
 and the prog will generate your output. If you choose [Clipboard], you&apos;ll
 be able to paste it to your html. If [File] is what you desire(heheheheh),
 the prog will open a file called output.html in its directory. Now, you can
 repeat this routine until your harddisk is full with this file. (if you
 chose [Clipboard] the output won&apos;t append to the clipboard! you&apos;ll have to
 paste it one-by-one...)
 There is also a [Swap] button - you can enter half a sentence, hit [File],
 (or [Clipboard] dammit! =P), type the rest of it, hit [Swap] and change the
 second color and so on.
 Uhhh.. by the way, the program doesn&apos;t write the preview settings to the
 output. Any plain text editor is a fine tool to put it in your pages.

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The output of Huespin was tested with:
 Opera Browser v3.2
 Netscape Navigator 4.05
 CSE 3310 HTML Validator v3.00beta

(you can remove the &lt;/font&gt; tags that follow each character but it is
not recommended - it probably won&apos;t work with Opera and by the HTML
Validator it will be full with errors.)

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> New in version 1.4 -- 14-07-98
 ------------------
Totally new registry handling routines.
Added [Uninstall] feature that removes all registry settings(restores
defaults). Changed Interface a bit...

 New in version 1.3 -- 05-07-98
 ------------------
Preview Added(!), and Change Font/Change Background color(for the preview).
The prog now saves all of its settings - text, two colors, preview font&amp;bkg.
some code optimization, bugs fixed. Clipboard option.

 New in version 1.2 -- 26-06-98
 ------------------
Some small bugs fixed. code optimization.
changed icon. =)

 New in version 1.1 -- 22-06-98
 ------------------
Program changes sequential spaces to non-breaking spaces.

(first release v1.0 -- 24-05-98)


</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> How to contact the author
 -------------------------
HTTP Site:
the Huespin project&apos;s page, where you got this program

Email:
none; write through the project&apos;s issue tracker

ICQ:
none

IRC:
none

Snail:
no postal address;
the Huespin developers
answer through the project&apos;s
issue tracker

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Greetz
 ------
to everyone who puts a little colour in a web page,
and to all who send in bug reports. =)

</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RuntimeError</name>
    <message>
        <source>Overflow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Division by zero</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control array element &apos;%1&apos; doesn&apos;t exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Object already loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t unload controls created at design time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>a symbolic link that belongs to another user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a named pipe, not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a folder, not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a device, not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a socket, not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a special file, not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>locked by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No documents folder is known (is HOME set?).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot work in the folder %1: a symbolic link that belongs to another user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot create the folder %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot work in the folder %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Shape</name>
    <message>
        <source>no color chosen</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TemplateDialog</name>
    <message>
        <source>Template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Template for each character</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>for example &lt;color:#{hex}&gt;{char}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample of the output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Why the template does not read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Template, written for each character:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{char} is the character; {HEX} and {hex} its colour as RRGGBB or rrggbb; {r}, {g} and {b} its red, green and blue from 0 to 255; {{ and }} are braces.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The template takes no styles and escapes nothing: the characters go in as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sample, for the window&apos;s text and colours:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the template: an empty one writes nothing.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowProgram</name>
    <message>
        <source>no display was found to open the window on; &apos;huespin TEXT&apos; or &apos;huespin -&apos; print the markup without one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the window&apos;s module is of another build (request %1, module %2); reinstall Huespin</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
