<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BestWord</name>
    <message>
        <source>Best word on the last board: %1 (%2)</source>
        <translation>Bestes Wort auf dem letzten Brett: %1 (%2)</translation>
    </message>
    <message>
        <source>Best here: %1 for %2</source>
        <translation>Bestes hier: %1 für %2</translation>
    </message>
    <message>
        <source>No word could be made on this board.</source>
        <translation>Auf diesem Brett ließ sich kein Wort legen.</translation>
    </message>
    <message>
        <source>Best here: yours, %1 for %2</source>
        <translation>Bestes hier: deins, %1 für %2</translation>
    </message>
    <message>
        <source>no word</source>
        <translation>kein Wort</translation>
    </message>
    <message>
        <source>%1 for %2</source>
        <translation>%1 für %2</translation>
    </message>
    <message>
        <source>Best here: %1 for %2 (you: %3)</source>
        <translation>Bestes hier: %1 für %2 (du: %3)</translation>
    </message>
</context>
<context>
    <name>BoardAccessible</name>
    <message>
        <source>bonus square</source>
        <translation>Bonusfeld</translation>
    </message>
    <message>
        <source>double letter</source>
        <translation>doppelter Buchstabe</translation>
    </message>
    <message>
        <source>triple letter</source>
        <translation>dreifacher Buchstabe</translation>
    </message>
    <message>
        <source>double word</source>
        <translation>doppeltes Wort</translation>
    </message>
    <message>
        <source>triple word</source>
        <translation>dreifaches Wort</translation>
    </message>
    <message>
        <source>row %1, column %2</source>
        <translation>Zeile %1, Spalte %2</translation>
    </message>
    <message>
        <source>Board</source>
        <translation>Brett</translation>
    </message>
</context>
<context>
    <name>ChatChannel</name>
    <message>
        <source>Klot the bot says: </source>
        <translation>Klot, der Bot, sagt: </translation>
    </message>
    <message>
        <source>Not sent yet: the connection to the host is down. It goes as soon as you are back in the game.</source>
        <translation>Noch nicht gesendet: die Verbindung zum Gastgeber ist unterbrochen. Es geht hinaus, sobald du wieder im Spiel bist.</translation>
    </message>
</context>
<context>
    <name>ChatView</name>
    <message>
        <source>Chat lines hold up to 1,000 characters; a longer text is cut.</source>
        <translation>Chatzeilen fassen bis zu 1.000 Zeichen; längerer Text wird abgeschnitten.</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Scroll Chat Off</source>
        <translation>Chat nicht mitrollen</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Cannot open Webpage</source>
        <translation>Die Webseite lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>Text Color</source>
        <translation>Textfarbe</translation>
    </message>
</context>
<context>
    <name>ClientModel</name>
    <message>
        <source>You have won the game!</source>
        <translation>Du hast das Spiel gewonnen!</translation>
    </message>
    <message>
        <source>%1 has won the game!</source>
        <translation>%1 hat das Spiel gewonnen!</translation>
    </message>
    <message>
        <source>You have a differnt version of the game then the host.</source>
        <translation>Du hast eine andere Version des Spiels als der Gastgeber.</translation>
    </message>
    <message>
        <source>You have started a game.</source>
        <translation>Du hast ein Spiel gestartet.</translation>
    </message>
    <message>
        <source>%1 has a different version of the game then you.</source>
        <translation>%1 hat eine andere Version des Spiels als du.</translation>
    </message>
    <message>
        <source>%1 has started a game.</source>
        <translation>%1 hat ein Spiel gestartet.</translation>
    </message>
    <message>
        <source>I am Klot the bot. Good Luck!</source>
        <translation>Ich bin Klot, der Bot. Viel Glück!</translation>
    </message>
</context>
<context>
    <name>GameList</name>
    <message>
        <source>%1
%2 of 4 seats taken%3
%4 (%5)</source>
        <translation>%1
%2 von 4 Plätzen besetzt%3
%4 (%5)</translation>
    </message>
    <message>
        <source>, game running</source>
        <translation>, Spiel läuft</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Beitreten</translation>
    </message>
</context>
<context>
    <name>GameRecord</name>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>The file is too large to be a game record.</source>
        <translation>Die Datei ist zu groß für eine Spielaufzeichnung.</translation>
    </message>
    <message>
        <source>This is not a Wordmire game record.</source>
        <translation>Dies ist keine Wordmire-Spielaufzeichnung.</translation>
    </message>
    <message>
        <source>The player&apos;s name is missing.</source>
        <translation>Der Name des Spielers fehlt.</translation>
    </message>
    <message>
        <source>The player&apos;s name is too long.</source>
        <translation>Der Name des Spielers ist zu lang.</translation>
    </message>
    <message>
        <source>The record holds more turns than any game.</source>
        <translation>Die Aufzeichnung hat mehr Züge als jedes Spiel.</translation>
    </message>
    <message>
        <source>A turn has eight fields.</source>
        <translation>Ein Zug hat acht Felder.</translation>
    </message>
    <message>
        <source>The board does not read.</source>
        <translation>Das Brett ist nicht lesbar.</translation>
    </message>
    <message>
        <source>A word does not read.</source>
        <translation>Ein Wort ist nicht lesbar.</translation>
    </message>
    <message>
        <source>Points do not read.</source>
        <translation>Punkte sind nicht lesbar.</translation>
    </message>
    <message>
        <source>A path does not fit its word.</source>
        <translation>Ein Weg passt nicht zu seinem Wort.</translation>
    </message>
    <message>
        <source>Points are given for no word.</source>
        <translation>Punkte ohne Wort.</translation>
    </message>
    <message>
        <source>A word is not where its path runs on the board.</source>
        <translation>Ein Wort liegt nicht dort, wo sein Weg über das Brett läuft.</translation>
    </message>
</context>
<context>
    <name>HostLink</name>
    <message>
        <source>no answer within %1 seconds</source>
        <translation>keine Antwort innerhalb von %1 Sekunden</translation>
    </message>
    <message>
        <source>nothing is listening there (connection refused)</source>
        <translation>dort wartet niemand (Verbindung abgelehnt)</translation>
    </message>
</context>
<context>
    <name>InternetPlay</name>
    <message>
        <source>Players on the internet reach you through your router&apos;s open port.</source>
        <translation>Spieler im Internet erreichen dich über den geöffneten Port deines Routers.</translation>
    </message>
    <message>
        <source>Players on the internet reach you directly at %1.</source>
        <translation>Spieler im Internet erreichen dich direkt unter %1.</translation>
    </message>
    <message>
        <source>Players on the internet reach you through the lobby&apos;s relay: a little slower.</source>
        <translation>Spieler im Internet erreichen dich über das Relay der Lobby: etwas langsamer.</translation>
    </message>
    <message>
        <source>Listing your game in the internet lobby...</source>
        <translation>Dein Spiel wird in der Internet-Lobby eingetragen...</translation>
    </message>
    <message>
        <source>No router opened the game&apos;s port; the internet lobby lists your game all the same.</source>
        <translation>Kein Router hat den Port des Spiels geöffnet; die Internet-Lobby führt dein Spiel trotzdem.</translation>
    </message>
    <message>
        <source>The router no longer forwards the game&apos;s port: %1.</source>
        <translation>Der Router leitet den Port des Spiels nicht mehr weiter: %1.</translation>
    </message>
    <message>
        <source>Your game is now listed in the internet lobby.</source>
        <translation>Dein Spiel steht jetzt in der Internet-Lobby.</translation>
    </message>
    <message>
        <source>Connected to the host %1.</source>
        <translation>Mit dem Gastgeber verbunden, %1.</translation>
    </message>
    <message>
        <source>The router is not asked to open the port (your choice): players outside your network reach you only if you forward TCP port %1 yourself.</source>
        <translation>Der Router wird nicht gebeten, den Port zu öffnen (deine Wahl): Spieler außerhalb deines Netzes erreichen dich nur, wenn du TCP-Port %1 selbst weiterleitest.</translation>
    </message>
    <message>
        <source>A player on the internet came %1.</source>
        <translation>Ein Spieler aus dem Internet kam %1.</translation>
    </message>
</context>
<context>
    <name>JoinPath</name>
    <message>
        <source>through the lobby&apos;s relay</source>
        <translation>über das Relay der Lobby</translation>
    </message>
    <message>
        <source>straight through both routers</source>
        <translation>direkt durch beide Router</translation>
    </message>
    <message>
        <source>at the address the host listed</source>
        <translation>unter der Adresse, die der Gastgeber angegeben hat</translation>
    </message>
    <message>
        <source>The host cannot be reached.</source>
        <translation>Der Gastgeber ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>The host cannot be reached: no path through the routers or the relay.</source>
        <translation>Der Gastgeber ist nicht erreichbar: kein Weg durch die Router oder das Relay.</translation>
    </message>
    <message>
        <source>The host cannot be reached: %1.</source>
        <translation>Der Gastgeber ist nicht erreichbar: %1.</translation>
    </message>
</context>
<context>
    <name>PhraseBar</name>
    <message>
        <source>Chatter Sounds</source>
        <translation>Plauderklänge</translation>
    </message>
    <message>
        <source>&lt;Cancel&gt;</source>
        <translation>&lt;Abbrechen&gt;</translation>
    </message>
    <message>
        <source>Say: %1</source>
        <translation>Sagen: %1</translation>
    </message>
</context>
<context>
    <name>Reconnect</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The connection to the host was lost.
Reconnecting to %1 - %2 s left.</source>
        <translation>Die Verbindung zum Gastgeber ist abgerissen.
Neue Verbindung zu %1 - noch %2 s.</translation>
    </message>
</context>
<context>
    <name>ReviewDialog</name>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Öffnen...</translation>
    </message>
    <message>
        <source>Word Mire - Game Review</source>
        <translation>Word Mire - Spielrückblick</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>Zug</translation>
    </message>
    <message>
        <source>Your word</source>
        <translation>Dein Wort</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Best word</source>
        <translation>Bestes Wort</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>Anteil</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Save Game Review</source>
        <translation>Spielrückblick speichern</translation>
    </message>
    <message>
        <source>Open Game Review</source>
        <translation>Spielrückblick öffnen</translation>
    </message>
    <message>
        <source>%1: your turns, the word you played and the best the board held</source>
        <translation>%1: deine Züge, dein gelegtes Wort und das beste, das das Brett bot</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Turn %1: no word on this board</source>
        <translation>Zug %1: kein Wort auf diesem Brett</translation>
    </message>
    <message>
        <source>Turn %1: best %2 for %3</source>
        <translation>Zug %1: bestes %2 für %3</translation>
    </message>
    <message>
        <source>Cannot save the game review: %1</source>
        <translation>Der Spielrückblick lässt sich nicht speichern: %1</translation>
    </message>
    <message>
        <source>Cannot open the game review: %1</source>
        <translation>Der Spielrückblick lässt sich nicht öffnen: %1</translation>
    </message>
</context>
<context>
    <name>Roster</name>
    <message>
        <source>You are Connected.</source>
        <translation>Du bist verbunden.</translation>
    </message>
    <message>
        <source>%1 is Connected.</source>
        <translation>%1 ist verbunden.</translation>
    </message>
    <message>
        <source>You are spying.</source>
        <translation>Du schaust zu.</translation>
    </message>
    <message>
        <source>%1 is spying.</source>
        <translation>%1 schaut zu.</translation>
    </message>
    <message>
        <source>%1 disconnected.</source>
        <translation>%1 hat die Verbindung getrennt.</translation>
    </message>
    <message>
        <source>%1 has left.</source>
        <translation>%1 ist gegangen.</translation>
    </message>
    <message>
        <source>%1 is just watching</source>
        <translation>%1 schaut nur zu</translation>
    </message>
    <message>
        <source>%1 is now playing again</source>
        <translation>%1 spielt wieder mit</translation>
    </message>
</context>
<context>
    <name>SeatsView</name>
    <message>
        <source>Remove From Game</source>
        <translation>Aus dem Spiel nehmen</translation>
    </message>
    <message>
        <source>Set to Just Watch</source>
        <translation>Nur zuschauen lassen</translation>
    </message>
    <message>
        <source>Unset Just Watch</source>
        <translation>Wieder mitspielen lassen</translation>
    </message>
    <message>
        <source>Zephyr Shuffles left: %1</source>
        <translation>Zephyr-Mischen übrig: %1</translation>
    </message>
    <message>
        <source>Team A: 0 </source>
        <translation>Team A: 0 </translation>
    </message>
    <message>
        <source>Team B: 0 </source>
        <translation>Team B: 0 </translation>
    </message>
    <message>
        <source>Team A : </source>
        <translation>Team A : </translation>
    </message>
    <message>
        <source>Team B : </source>
        <translation>Team B : </translation>
    </message>
    <message>
        <source>Team A: </source>
        <translation>Team A: </translation>
    </message>
    <message>
        <source>Team B: </source>
        <translation>Team B: </translation>
    </message>
    <message>
        <source>&lt;Waiting&gt;</source>
        <translation>&lt;Warten&gt;</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>Could not get back into the game at %1.</source>
        <translation>Kein Weg zurück ins Spiel bei %1.</translation>
    </message>
    <message>
        <source>You</source>
        <translation>Du</translation>
    </message>
    <message>
        <source>Your name, as the other players will see it:</source>
        <translation>Dein Name, wie die anderen Spieler ihn sehen:</translation>
    </message>
    <message>
        <source>Could not reach the host at %1: %2.</source>
        <translation>Der Gastgeber bei %1 ist nicht erreichbar: %2.</translation>
    </message>
    <message>
        <source>

Try again?</source>
        <translation>

Noch einmal versuchen?</translation>
    </message>
    <message>
        <source>The connection to the host was lost.</source>
        <translation>Die Verbindung zum Gastgeber ist abgerissen.</translation>
    </message>
    <message>
        <source> Reconnect to the game?</source>
        <translation> Wieder mit dem Spiel verbinden?</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>Neu verbinden</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Leave this game and host your own?</source>
        <translation>Dieses Spiel verlassen und ein eigenes ausrichten?</translation>
    </message>
    <message>
        <source>Leave the game that is running and join %1?</source>
        <translation>Das laufende Spiel verlassen und %1 beitreten?</translation>
    </message>
    <message>
        <source>You are back in the game.</source>
        <translation>Du bist wieder im Spiel.</translation>
    </message>
    <message>
        <source>The connection to the host has ended: the host has closed the game, or removed you from it.</source>
        <translation>Die Verbindung zum Gastgeber ist beendet: der Gastgeber hat das Spiel geschlossen oder dich herausgenommen.</translation>
    </message>
    <message>
        <source>You are %1 in this game; the name %2 takes effect when you host again after it.</source>
        <translation>Du bist %1 in diesem Spiel; der Name %2 gilt, wenn du danach wieder ein Spiel ausrichtest.</translation>
    </message>
    <message>
        <source>Your game is now announced on your network as %1.</source>
        <translation>Dein Spiel ist jetzt in deinem Netz angekündigt als %1.</translation>
    </message>
    <message>
        <source>Hosting a game of your own as %1.</source>
        <translation>Du richtest ein eigenes Spiel aus als %1.</translation>
    </message>
    <message>
        <source>This computer gave the game no port to join through; try again.</source>
        <translation>Dieser Rechner gab dem Spiel keinen Port zum Beitreten; versuche es noch einmal.</translation>
    </message>
    <message>
        <source>Joining %1 through the internet lobby.</source>
        <translation>Trete %1 über die Internet-Lobby bei.</translation>
    </message>
    <message>
        <source>Joining the game at %1.</source>
        <translation>Trete dem Spiel bei %1 bei.</translation>
    </message>
    <message>
        <source>Loading Solo Game..Please wait.</source>
        <translation>Das Spiel allein wird geladen. Bitte warten.</translation>
    </message>
    <message>
        <source>Loading Multi-player Game.. Please Wait.</source>
        <translation>Das Spiel mit anderen wird geladen. Bitte warten.</translation>
    </message>
</context>
<context>
    <name>StrengthMenu</name>
    <message>
        <source>The hosting player chooses</source>
        <translation>Das wählt der Gastgeber</translation>
    </message>
</context>
<context>
    <name>StripView</name>
    <message>
        <source>Word letter %1</source>
        <translation>Buchstabe %1 des Worts</translation>
    </message>
    <message>
        <source>%1  %2 pts</source>
        <translation>%1  %2 Pkt.</translation>
    </message>
    <message>
        <source>clear</source>
        <translation>löschen</translation>
    </message>
    <message>
        <source>Zephyr shuffle</source>
        <translation>Zephyr-Mischen</translation>
    </message>
    <message>
        <source>done</source>
        <translation>fertig</translation>
    </message>
</context>
<context>
    <name>Tabout</name>
    <message>
        <source>Word Mire - About</source>
        <translation>Word Mire - Über</translation>
    </message>
    <message>
        <source>&lt;b style=&quot;font-size:20pt&quot;&gt;Word Mire&lt;/b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit the Word Mire web page</source>
        <translation>Die Webseite von Word Mire besuchen</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;page&quot;&gt;Visit the Word Mire web page&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;page&quot;&gt;Die Webseite von Word Mire besuchen&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>.17</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>The web page could not be opened: </source>
        <translation>Die Webseite ließ sich nicht öffnen: </translation>
    </message>
</context>
<context>
    <name>Tchat</name>
    <message>
        <source>Word Mire</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Welcome to Word Mire</source>
        <translation>Willkommen bei Word Mire</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Zephyr Shuffle</source>
        <translation>Zephyr-Mischen</translation>
    </message>
    <message>
        <source>Start Game</source>
        <translation>Spiel starten</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Waiting&gt;</source>
        <translation>&lt;Warten&gt;</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Enter Chat Here&gt;</source>
        <translation>&lt;Chat hier eingeben&gt;</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>T&amp;urn Sound</source>
        <translation>&amp;Zugklang</translation>
    </message>
    <message>
        <source>&amp;Klot&apos;s Strength</source>
        <translation>&amp;Klots Stärke</translation>
    </message>
    <message>
        <source>Te&amp;xt Size</source>
        <translation>Te&amp;xtgröße</translation>
    </message>
    <message>
        <source>&amp;Tiles</source>
        <translation>&amp;Plättchen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Start Game</source>
        <translation>Spiel &amp;starten</translation>
    </message>
    <message>
        <source>&amp;Host or Join a Game...</source>
        <translation>Spiel aus&amp;richten oder beitreten...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Play &amp;Sounds</source>
        <translation>&amp;Klänge abspielen</translation>
    </message>
    <message>
        <source>Play &amp;Chatter Sounds</source>
        <translation>&amp;Plauderklänge abspielen</translation>
    </message>
    <message>
        <source>&amp;Classic</source>
        <translation>&amp;Klassisch</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>&amp;Standard</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Post Words in Chat Box</source>
        <translation>&amp;Wörter im Chat zeigen</translation>
    </message>
    <message>
        <source>Text C&amp;olor</source>
        <translation>Text&amp;farbe</translation>
    </message>
    <message>
        <source>&amp;8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;12</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;14</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll Chat O&amp;ff</source>
        <translation>Chat nicht &amp;mitrollen</translation>
    </message>
    <message>
        <source>Clear &amp;Main Chat</source>
        <translation>Haupt&amp;chat leeren</translation>
    </message>
    <message>
        <source>&amp;Reset Screen Location</source>
        <translation>Fenster&amp;position zurücksetzen</translation>
    </message>
    <message>
        <source>Show the &amp;Best Word</source>
        <translation>&amp;Bestes Wort zeigen</translation>
    </message>
    <message>
        <source>&amp;Gentle</source>
        <translation>&amp;Sanft</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Strong</source>
        <translation>S&amp;tark</translation>
    </message>
    <message>
        <source>&amp;Just Watch</source>
        <translation>&amp;Nur zuschauen</translation>
    </message>
    <message>
        <source>View &amp;Tally</source>
        <translation>&amp;Bilanz ansehen</translation>
    </message>
    <message>
        <source>S&amp;py List</source>
        <translation>&amp;Zuschauerliste</translation>
    </message>
    <message>
        <source>P&amp;hrase List</source>
        <translation>&amp;Sprüche</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Vollbild</translation>
    </message>
    <message>
        <source>F11</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Content</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Invalid Selection</source>
        <translation>Ungültige Auswahl</translation>
    </message>
    <message>
        <source>Game is full</source>
        <translation>Das Spiel ist voll</translation>
    </message>
    <message>
        <source>the address could not be found</source>
        <translation>die Adresse wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Host Lookup - Could Not Find Host Entry</source>
        <translation>Adresssuche - kein Eintrag für diesen Rechner</translation>
    </message>
    <message>
        <source>1 other player is connected to your game. Close it anyway?</source>
        <translation>Ein anderer Spieler ist mit deinem Spiel verbunden. Trotzdem schließen?</translation>
    </message>
    <message>
        <source>You are not connected</source>
        <translation>Du bist nicht verbunden</translation>
    </message>
    <message>
        <source>Abandon the game in progress?</source>
        <translation>Das laufende Spiel aufgeben?</translation>
    </message>
    <message>
        <source>You are just watching right now.</source>
        <translation>Du schaust gerade nur zu.</translation>
    </message>
    <message>
        <source>start</source>
        <translation>starten</translation>
    </message>
</context>
<context>
    <name>Tdownload</name>
    <message>
        <source>Download The Corvel Gatehouse</source>
        <translation>Corvel Gatehouse herunterladen</translation>
    </message>
    <message>
        <source>Download The Corvel Gatehouse Now to play this  and other exciting games online with other players! </source>
        <translation>Lade jetzt Corvel Gatehouse herunter, um dieses und andere spannende Spiele online mit anderen zu spielen! </translation>
    </message>
    <message>
        <source>Download And Install The Corvel Gatehouse Now</source>
        <translation>Corvel Gatehouse jetzt herunterladen und installieren</translation>
    </message>
    <message>
        <source>Stop Download</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>To proceed to the game without the ability to play against others click the button below.</source>
        <translation>Um ohne Mitspieler weiterzuspielen, klicke auf den Knopf unten.</translation>
    </message>
    <message>
        <source>Play Solo Game</source>
        <translation>Allein spielen</translation>
    </message>
    <message>
        <source>Note: Even if you are playing offline, you will need to configure your FIREWALL to allow the game to access the internet components.</source>
        <translation>Hinweis: Auch beim Spielen ohne Internet muss deine FIREWALL dem Spiel den Zugriff auf die Netzwerkteile erlauben.</translation>
    </message>
    <message>
        <source>If you already have The Corvel Gatehouse and you wish to play with others then click the button below to close this game and open The Corvel Gatehouse.</source>
        <translation>Wenn du Corvel Gatehouse schon hast und mit anderen spielen willst, klicke auf den Knopf unten: dieses Spiel schließt sich und Corvel Gatehouse öffnet sich.</translation>
    </message>
    <message>
        <source>Play with Others</source>
        <translation>Mit anderen spielen</translation>
    </message>
    <message>
        <source>Download Aborted</source>
        <translation>Herunterladen abgebrochen</translation>
    </message>
    <message>
        <source>Cannot write </source>
        <translation>Kann nicht schreiben: </translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Lädt</translation>
    </message>
    <message>
        <source>Downloading: </source>
        <translation>Lädt herunter: </translation>
    </message>
    <message>
        <source>The download is larger than %1.</source>
        <translation>Der Download ist größer als %1.</translation>
    </message>
    <message>
        <source> bytes</source>
        <translation> Bytes</translation>
    </message>
    <message>
        <source>Download has been aborted.</source>
        <translation>Das Herunterladen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The download is empty.</source>
        <translation>Der Download ist leer.</translation>
    </message>
    <message>
        <source>Received </source>
        <translation>Empfangen: </translation>
    </message>
    <message>
        <source>Run the downloaded installer </source>
        <translation>Das heruntergeladene Installationsprogramm ausführen: </translation>
    </message>
    <message>
        <source>Installing</source>
        <translation>Installiert</translation>
    </message>
    <message>
        <source>An Error has Occurred.</source>
        <translation>Ein Fehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>Please close the game and open the Corvel Gatehouse using the icon on your desktop or using the your Window&apos;s start-up menu.</source>
        <translation>Bitte schließe das Spiel und öffne Corvel Gatehouse über das Symbol auf deinem Desktop oder über das Startmenü.</translation>
    </message>
    <message>
        <source>

Or host or join a game on your network or over the internet from inside Word Mire now?</source>
        <translation>

Oder jetzt aus Word Mire heraus ein Spiel in deinem Netz oder über das Internet ausrichten oder ihm beitreten?</translation>
    </message>
</context>
<context>
    <name>Tgamestart</name>
    <message>
        <source>Word Mire - Game Start</source>
        <translation>Word Mire - Spielbeginn</translation>
    </message>
    <message>
        <source>&lt;b style=&quot;font-size:14pt&quot;&gt;Game Options&lt;/b&gt;</source>
        <translation>&lt;b style=&quot;font-size:14pt&quot;&gt;Spieloptionen&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Play to Score:</source>
        <translation>Spielen bis:</translation>
    </message>
    <message>
        <source>Creation Time:</source>
        <translation>Zeit pro Zug:</translation>
    </message>
    <message>
        <source>Zephyr Shuffles:</source>
        <translation>Zephyr-Mischen:</translation>
    </message>
    <message>
        <source>Team Game</source>
        <translation>Teamspiel</translation>
    </message>
    <message>
        <source>Start Game</source>
        <translation>Spiel starten</translation>
    </message>
</context>
<context>
    <name>Thelp</name>
    <message>
        <source>Word Mire - Help File</source>
        <translation>Word Mire - Hilfe</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Überblick</translation>
    </message>
    <message>
        <source>Connecting</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Game Play</source>
        <translation>Spielablauf</translation>
    </message>
    <message>
        <source>Scoring</source>
        <translation>Wertung</translation>
    </message>
    <message>
        <source>Documentation</source>
        <translation>Chronik</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Word Mire&lt;/h2&gt;
&lt;p&gt;Word Mire is a word game for one to four players, on your own against Klot,
the computer opponent, or with friends, in two teams if you like.&lt;/p&gt;
&lt;p&gt;The board is a square of seven by seven letter tiles. On your turn you trace
the longest word you can find through touching tiles, and you try to run it
over the bonus squares, above all the &lt;b&gt;BONUS&lt;/b&gt; square in the middle.&lt;/p&gt;
&lt;p&gt;After each word the tiles slide the way you choose and new letters fill the
gaps. The first player or team to reach the agreed score at the end of a full
round, alone in the lead, wins.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Word Mire&lt;/h2&gt;
&lt;p&gt;Word Mire ist ein Wortspiel für einen bis vier Spieler, allein gegen Klot,
den Computergegner, oder mit Freunden, wenn ihr wollt in zwei Teams.&lt;/p&gt;
&lt;p&gt;Das Brett ist ein Quadrat aus sieben mal sieben Buchstabenplättchen. Wer am
Zug ist, fährt das längste Wort nach, das sich über benachbarte Plättchen
finden lässt, und führt es möglichst über die Bonusfelder, vor allem über das
Feld &lt;b&gt;BONUS&lt;/b&gt; in der Mitte.&lt;/p&gt;
&lt;p&gt;Nach jedem Wort rutschen die Plättchen in die gewählte Richtung und neue
Buchstaben füllen die Lücken. Wer als Spieler oder Team am Ende einer vollen
Runde die vereinbarte Punktzahl erreicht hat und allein vorn liegt, gewinnt.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Connecting&lt;/h2&gt;
&lt;p&gt;&lt;b&gt;A game on your own.&lt;/b&gt; Start Word Mire without arguments: it hosts a game on
your own computer, your window joins it, and Klot takes the other seat. Press
&lt;b&gt;Start Game&lt;/b&gt; (or Ctrl+N). No internet is needed, but every game runs over a
network connection, even this one, so a firewall must let Word Mire talk to
itself.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Hosting for others.&lt;/b&gt; Start it as &lt;code&gt;wordmire NAME anything true&lt;/code&gt;.
Your copy listens on &lt;b&gt;TCP port %PORT%&lt;/b&gt; on every address of your computer;
players who cannot reach you need that port opened in your firewall or router.
Up to nine people can be connected: four seated, the others watching.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Joining.&lt;/b&gt; Start it as &lt;code&gt;wordmire NAME ADDRESS false&lt;/code&gt; with the
host&apos;s address. The Gatehouse matchmaking client starts Word Mire this way for
you.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;From inside the game.&lt;/b&gt; Choose &lt;b&gt;File, Host or Join a Game...&lt;/b&gt; and type
your name. &lt;b&gt;Host a Game Here&lt;/b&gt; announces your game on your local network and
shows the addresses others can use. The same window lists the games it hears
on your network, each with a &lt;b&gt;Join&lt;/b&gt; button, and takes any address by hand.
Joining closes this copy and starts a new one connected to that host. The
announcements use UDP port 7773 on your local network only; the game itself
always uses TCP port %PORT%.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Over the internet.&lt;/b&gt; Type a lobby server&apos;s address under &lt;b&gt;Internet
lobby&lt;/b&gt; in the same window and click &lt;b&gt;Host a Game Here&lt;/b&gt;: Word Mire asks
your router to open TCP port %PORT% and lists your game in that lobby under your
router&apos;s internet address. Your friends type the same lobby server, see your
game marked &lt;i&gt;(internet)&lt;/i&gt; and click &lt;b&gt;Join&lt;/b&gt;; everyone in the lobby can
chat there before a game. If your router will not open the port, the chat says
why, and you can forward TCP port %PORT% to your computer by hand instead.&lt;/p&gt;
&lt;p&gt;When the host closes the game, it ends for everybody.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Verbinden&lt;/h2&gt;
&lt;p&gt;&lt;b&gt;Ein Spiel für dich allein.&lt;/b&gt; Starte Word Mire ohne Argumente: es richtet
auf deinem Rechner ein Spiel aus, dein Fenster tritt ihm bei und Klot nimmt den
anderen Platz. Drücke &lt;b&gt;Spiel starten&lt;/b&gt; (oder Strg+N). Internet brauchst du
nicht, aber jedes Spiel läuft über eine Netzwerkverbindung, auch dieses; eine
Firewall muss Word Mire also erlauben, mit sich selbst zu sprechen.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Für andere ausrichten.&lt;/b&gt; Starte es als &lt;code&gt;wordmire NAME anything true&lt;/code&gt;.
Dein Spiel wartet auf &lt;b&gt;TCP-Port %PORT%&lt;/b&gt; an jeder Adresse deines Rechners;
Spieler, die dich nicht erreichen, brauchen diesen Port in deiner Firewall oder
deinem Router geöffnet. Bis zu neun Leute können verbunden sein: vier sitzen
am Brett, die anderen schauen zu.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Beitreten.&lt;/b&gt; Starte es als &lt;code&gt;wordmire NAME ADRESSE false&lt;/code&gt; mit der
Adresse des Gastgebers. Der Spielvermittler Gatehouse startet Word Mire für
dich auf diese Weise.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Aus dem Spiel heraus.&lt;/b&gt; Wähle &lt;b&gt;Datei, Spiel ausrichten oder
beitreten...&lt;/b&gt; und gib deinen Namen ein. &lt;b&gt;Hier ein Spiel ausrichten&lt;/b&gt;
kündigt dein Spiel in deinem lokalen Netz an und zeigt die Adressen, die andere
nutzen können. Dasselbe Fenster listet die Spiele, die es in deinem Netz hört,
jedes mit einem Knopf &lt;b&gt;Beitreten&lt;/b&gt;, und nimmt auch eine Adresse von Hand.
Beim Beitreten schließt sich dieses Fenster und ein neues startet, verbunden mit
jenem Gastgeber. Die Ankündigungen nutzen UDP-Port 7773 nur in deinem lokalen
Netz; das Spiel selbst nutzt immer TCP-Port %PORT%.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Über das Internet.&lt;/b&gt; Gib im selben Fenster unter &lt;b&gt;Internet-Lobby&lt;/b&gt;
die Adresse eines Lobby-Servers ein und klicke &lt;b&gt;Hier ein Spiel
ausrichten&lt;/b&gt;: Word Mire bittet deinen Router, TCP-Port %PORT% zu öffnen, und
trägt dein Spiel unter der Internetadresse deines Routers in jener Lobby ein.
Deine Freunde geben denselben Lobby-Server ein, sehen dein Spiel mit
&lt;i&gt;(Internet)&lt;/i&gt; markiert und klicken &lt;b&gt;Beitreten&lt;/b&gt;; alle in der Lobby
können dort vor einem Spiel chatten. Öffnet dein Router den Port nicht, sagt
der Chat warum, und du kannst TCP-Port %PORT% stattdessen von Hand an deinen
Rechner weiterleiten.&lt;/p&gt;
&lt;p&gt;Schließt der Gastgeber das Spiel, endet es für alle.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Game Play&lt;/h2&gt;
&lt;p&gt;Players take turns. On your turn, trace a word on the board: click the tiles
one after another, or type the word&apos;s letters. Each tile must touch the one
before it, across or diagonally, and no tile may be used twice. Click the last
letter in the strip above the board (or press Backspace) to take it back, and
&lt;b&gt;Clear&lt;/b&gt; (Escape) to start again.&lt;/p&gt;
&lt;p&gt;Submit the word with &lt;b&gt;Done&lt;/b&gt;, a right click on the board, or Enter. If it is
in the word list you score it; then choose one of the four arrows (or an arrow
key): the remaining tiles slide that way and the gaps fill with new letters.
A word that is not in the list can be changed and tried again while your time
lasts.&lt;/p&gt;
&lt;p&gt;When the host allows it, the &lt;b&gt;Zephyr Shuffle&lt;/b&gt; deals a whole new board and
gives you half a turn&apos;s time more. You may use it only on your own turn, once
per turn, as many times a game as the host allows.&lt;/p&gt;
&lt;p&gt;The first player or team to reach the play-to score wins, once everybody has
had the same number of turns.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Spielablauf&lt;/h2&gt;
&lt;p&gt;Die Spieler sind reihum am Zug. Bist du dran, fahre ein Wort auf dem Brett
nach: klicke die Plättchen nacheinander an oder tippe die Buchstaben des Worts.
Jedes Plättchen muss das vorige berühren, waagrecht, senkrecht oder diagonal,
und keines darf zweimal benutzt werden. Klicke den letzten Buchstaben im
Streifen über dem Brett an (oder drücke die Rücktaste), um ihn zurückzunehmen,
und &lt;b&gt;Löschen&lt;/b&gt; (Esc), um neu anzufangen.&lt;/p&gt;
&lt;p&gt;Reiche das Wort mit &lt;b&gt;Fertig&lt;/b&gt;, einem Rechtsklick auf das Brett oder der
Eingabetaste ein. Steht es in der Wortliste, bekommst du die Punkte; dann wähle
einen der vier Pfeile (oder eine Pfeiltaste): die übrigen Plättchen rutschen in
diese Richtung und die Lücken füllen sich mit neuen Buchstaben. Ein Wort, das
nicht in der Liste steht, kannst du ändern und erneut versuchen, solange deine
Zeit reicht.&lt;/p&gt;
&lt;p&gt;Wenn der Gastgeber es erlaubt, teilt das &lt;b&gt;Zephyr-Mischen&lt;/b&gt; ein ganz neues
Brett aus und gibt dir eine halbe Zugzeit dazu. Du darfst es nur in deinem
eigenen Zug nutzen, einmal pro Zug, so oft im Spiel, wie der Gastgeber
erlaubt.&lt;/p&gt;
&lt;p&gt;Wer als Spieler oder Team die Zielpunktzahl erreicht, gewinnt, sobald alle
gleich viele Züge hatten.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Scoring&lt;/h2&gt;
&lt;p&gt;A word scores the sum of its letters&apos; values:&lt;/p&gt;
&lt;table cellpadding=&quot;2&quot;&gt;
&lt;tr&gt;&lt;td&gt;A E I L N O R S T U D&lt;/td&gt;&lt;td&gt;1&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;B C G H M P Y&lt;/td&gt;&lt;td&gt;3&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;F J K W&lt;/td&gt;&lt;td&gt;5&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;V&lt;/td&gt;&lt;td&gt;7&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;Q X Z&lt;/td&gt;&lt;td&gt;10&lt;/td&gt;&lt;/tr&gt;
&lt;/table&gt;
&lt;p&gt;The squares under the word change that sum, in this order: &lt;b&gt;BONUS&lt;/b&gt; adds 20
points, &lt;b&gt;DL&lt;/b&gt; and &lt;b&gt;TL&lt;/b&gt; (double and triple letter) count that letter&apos;s value
twice or three times, then &lt;b&gt;DW&lt;/b&gt; and &lt;b&gt;TW&lt;/b&gt; (double and triple word) double or
triple the whole word. A seven-letter word earns 20 more.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;An example.&lt;/b&gt; STORM, with S on a triple word square, R on a double word
square and M on a double letter square:&lt;/p&gt;
&lt;p&gt;S 1 + T 1 + O 1 + R 1 + M 3 = 7, plus 3 more for M on the double letter = 10;
doubled for the double word = 20; tripled for the triple word = &lt;b&gt;60&lt;/b&gt;.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Wertung&lt;/h2&gt;
&lt;p&gt;Ein Wort zählt die Summe seiner Buchstabenwerte:&lt;/p&gt;
&lt;table cellpadding=&quot;2&quot;&gt;
&lt;tr&gt;&lt;td&gt;A E I L N O R S T U D&lt;/td&gt;&lt;td&gt;1&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;B C G H M P Y&lt;/td&gt;&lt;td&gt;3&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;F J K W&lt;/td&gt;&lt;td&gt;5&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;V&lt;/td&gt;&lt;td&gt;7&lt;/td&gt;&lt;/tr&gt;
&lt;tr&gt;&lt;td&gt;Q X Z&lt;/td&gt;&lt;td&gt;10&lt;/td&gt;&lt;/tr&gt;
&lt;/table&gt;
&lt;p&gt;Die Felder unter dem Wort ändern diese Summe, in dieser Reihenfolge:
&lt;b&gt;BONUS&lt;/b&gt; gibt 20 Punkte dazu, &lt;b&gt;DL&lt;/b&gt; und &lt;b&gt;TL&lt;/b&gt; (doppelter und
dreifacher Buchstabe) zählen den Wert dieses Buchstabens doppelt oder dreifach,
dann verdoppeln oder verdreifachen &lt;b&gt;DW&lt;/b&gt; und &lt;b&gt;TW&lt;/b&gt; (doppeltes und
dreifaches Wort) das ganze Wort. Ein Wort aus sieben Buchstaben bringt 20
mehr.&lt;/p&gt;
&lt;p&gt;&lt;b&gt;Ein Beispiel.&lt;/b&gt; STORM, mit S auf einem Feld für dreifaches Wort, R auf
einem für doppeltes Wort und M auf einem für doppelten Buchstaben:&lt;/p&gt;
&lt;p&gt;S 1 + T 1 + O 1 + R 1 + M 3 = 7, plus 3 für M auf dem doppelten Buchstaben = 10;
verdoppelt für das doppelte Wort = 20; verdreifacht für das dreifache Wort = &lt;b&gt;60&lt;/b&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;History&lt;/h2&gt;
&lt;p&gt;&lt;b&gt;1.0.16.17&lt;/b&gt; &amp;mdash; 7 December 2026&lt;/p&gt;
&lt;ul&gt;
&lt;li&gt;Play by keyboard: type a word to trace it, Tab for another path.&lt;/li&gt;
&lt;li&gt;Sounds, chatter sounds, phrase buttons and Klot&apos;s chatter.&lt;/li&gt;
&lt;li&gt;Settings kept between games; tile sets: wood, dark and high contrast.&lt;/li&gt;
&lt;li&gt;The win tally against the opponents you follow.&lt;/li&gt;
&lt;li&gt;The host stands up to floods and silent connections; picks show at once.&lt;/li&gt;
&lt;/ul&gt;
&lt;p&gt;&lt;b&gt;1.0.16&lt;/b&gt; &amp;mdash; 30 November 2026&lt;/p&gt;
&lt;ul&gt;
&lt;li&gt;The first complete game: hosting and joining, the board, words and their
scores, turns and the turn timer, Klot, the chat and the roster.&lt;/li&gt;
&lt;/ul&gt;</source>
        <translation>&lt;h2&gt;Chronik&lt;/h2&gt;
&lt;p&gt;&lt;b&gt;1.0.16.17&lt;/b&gt; &amp;mdash; 7. Dezember 2026&lt;/p&gt;
&lt;ul&gt;
&lt;li&gt;Spielen mit der Tastatur: ein Wort tippen, um es nachzufahren, Tab für einen anderen Weg.&lt;/li&gt;
&lt;li&gt;Klänge, Plauderklänge, Spruchknöpfe und Klots Geplauder.&lt;/li&gt;
&lt;li&gt;Einstellungen bleiben zwischen den Spielen erhalten; Plättchensätze: Holz, dunkel und kontrastreich.&lt;/li&gt;
&lt;li&gt;Die Siegbilanz gegen die Gegner, denen du folgst.&lt;/li&gt;
&lt;li&gt;Der Gastgeber hält Fluten und stummen Verbindungen stand; Züge zeigen sich sofort.&lt;/li&gt;
&lt;/ul&gt;
&lt;p&gt;&lt;b&gt;1.0.16&lt;/b&gt; &amp;mdash; 30. November 2026&lt;/p&gt;
&lt;ul&gt;
&lt;li&gt;Das erste vollständige Spiel: Ausrichten und Beitreten, das Brett, Wörter und
ihre Punkte, Züge und die Zugzeit, Klot, der Chat und die Spielerliste.&lt;/li&gt;
&lt;/ul&gt;</translation>
    </message>
</context>
<context>
    <name>TileMenu</name>
    <message>
        <source>Classic</source>
        <translation>Klassisch</translation>
    </message>
</context>
<context>
    <name>Tlobby</name>
    <message>
        <source>Word Mire - Host or Join a Game</source>
        <translation>Word Mire - Spiel ausrichten oder beitreten</translation>
    </message>
    <message>
        <source>Your name:</source>
        <translation>Dein Name:</translation>
    </message>
    <message>
        <source>Host a Game Here</source>
        <translation>Hier ein Spiel ausrichten</translation>
    </message>
    <message>
        <source>Open the game&apos;s port on my router (UPnP or NAT-PMP)</source>
        <translation>Den Port des Spiels auf meinem Router öffnen (UPnP oder NAT-PMP)</translation>
    </message>
    <message>
        <source>&lt;b&gt;Join&lt;/b&gt; - games on your network and in the internet lobby:</source>
        <translation>&lt;b&gt;Beitreten&lt;/b&gt; - Spiele in deinem Netz und in der Internet-Lobby:</translation>
    </message>
    <message>
        <source>find a game by its name</source>
        <translation>ein Spiel nach Namen suchen</translation>
    </message>
    <message>
        <source>host&apos;s address</source>
        <translation>Adresse des Gastgebers</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>Beitreten</translation>
    </message>
    <message>
        <source>&amp;Address:</source>
        <translation>&amp;Adresse:</translation>
    </message>
    <message>
        <source>&lt;b&gt;Internet lobby&lt;/b&gt;</source>
        <translation>&lt;b&gt;Internet-Lobby&lt;/b&gt;</translation>
    </message>
    <message>
        <source>server or server:port (empty: none)</source>
        <translation>Server oder Server:Port (leer: keiner)</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>say something to the lobby</source>
        <translation>sag etwas in der Lobby</translation>
    </message>
    <message>
        <source>Say</source>
        <translation>Sagen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>One line a second, please.</source>
        <translation>Bitte nur eine Zeile pro Sekunde.</translation>
    </message>
    <message>
        <source>Your game stays on this computer until you host it.</source>
        <translation>Dein Spiel bleibt auf diesem Rechner, bis du es ausrichtest.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Type your name first.</source>
        <translation>Gib zuerst deinen Namen ein.</translation>
    </message>
    <message>
        <source>Games use ports 1024 to 65535.</source>
        <translation>Spiele nutzen die Ports 1024 bis 65535.</translation>
    </message>
    <message>
        <source> port </source>
        <translation> Port </translation>
    </message>
    <message>
        <source>your network</source>
        <translation>dein Netz</translation>
    </message>
    <message>
        <source>through the lobby</source>
        <translation>über die Lobby</translation>
    </message>
    <message>
        <source>internet, router</source>
        <translation>Internet, Router</translation>
    </message>
    <message>
        <source>internet, direct</source>
        <translation>Internet, direkt</translation>
    </message>
    <message>
        <source>internet, relay</source>
        <translation>Internet, Relay</translation>
    </message>
    <message>
        <source>Listening for games on your network...</source>
        <translation>Suche Spiele in deinem Netz...</translation>
    </message>
    <message>
        <source>&lt;b&gt;Host&lt;/b&gt;</source>
        <translation>&lt;b&gt;Ausrichten&lt;/b&gt;</translation>
    </message>
    <message>
        <source>No internet lobby: type a lobby server&apos;s address to list and chat with players on the internet.</source>
        <translation>Keine Internet-Lobby: gib die Adresse eines Lobby-Servers ein, um Spiele einzutragen und mit Spielern im Internet zu chatten.</translation>
    </message>
    <message>
        <source>Announced as &quot;%1&quot;, but this computer is on no network: others can join once it is.</source>
        <translation>Angekündigt als &quot;%1&quot;, aber dieser Rechner ist in keinem Netz: andere können beitreten, sobald er es ist.</translation>
    </message>
    <message>
        <source>Announced on your network as &quot;%1&quot;. Others join at %2 (TCP port %3; open it in your firewall for players outside your network).</source>
        <translation>In deinem Netz angekündigt als &quot;%1&quot;. Andere treten bei unter %2 (TCP-Port %3; öffne ihn in deiner Firewall für Spieler außerhalb deines Netzes).</translation>
    </message>
    <message>
        <source>Type the host&apos;s address (host or host:port), or pick a game from the list.</source>
        <translation>Gib die Adresse des Gastgebers ein (Rechner oder Rechner:Port) oder wähle ein Spiel aus der Liste.</translation>
    </message>
    <message>
        <source>Games on your network cannot be listed (UDP port %1: %2). You can still join by address.</source>
        <translation>Spiele in deinem Netz lassen sich nicht auflisten (UDP-Port %1: %2). Du kannst trotzdem über eine Adresse beitreten.</translation>
    </message>
</context>
<context>
    <name>Tphrases</name>
    <message>
        <source>Word Mire - Phrase Buttons </source>
        <translation>Word Mire - Spruchknöpfe </translation>
    </message>
    <message>
        <source>&lt;b&gt;Phrase Buttons&lt;/b&gt;</source>
        <translation>&lt;b&gt;Spruchknöpfe&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Phrase Button 1:</source>
        <translation>Spruchknopf 1:</translation>
    </message>
    <message>
        <source>Phrase Button 2:</source>
        <translation>Spruchknopf 2:</translation>
    </message>
    <message>
        <source>Phrase Button 3:</source>
        <translation>Spruchknopf 3:</translation>
    </message>
    <message>
        <source>Phrase Button 4:</source>
        <translation>Spruchknopf 4:</translation>
    </message>
    <message>
        <source>Phrase Button 5:</source>
        <translation>Spruchknopf 5:</translation>
    </message>
    <message>
        <source>Phrase Button 6:</source>
        <translation>Spruchknopf 6:</translation>
    </message>
    <message>
        <source>Phrase Button 7:</source>
        <translation>Spruchknopf 7:</translation>
    </message>
    <message>
        <source>Phrase Button 8:</source>
        <translation>Spruchknopf 8:</translation>
    </message>
    <message>
        <source>Phrase Button 9:</source>
        <translation>Spruchknopf 9:</translation>
    </message>
    <message>
        <source>Buttons can only be used once every 2 seconds</source>
        <translation>Jeder Knopf geht nur alle 2 Sekunden</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>Tspylist</name>
    <message>
        <source>Word Mire - Spys</source>
        <translation>Word Mire - Zuschauer</translation>
    </message>
    <message>
        <source>&lt;b&gt;Spy List&lt;/b&gt;</source>
        <translation>&lt;b&gt;Zuschauerliste&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Remove From Game</source>
        <translation>Aus dem Spiel nehmen</translation>
    </message>
</context>
<context>
    <name>Ttallylist</name>
    <message>
        <source>Word Mire - Tally List</source>
        <translation>Word Mire - Bilanz</translation>
    </message>
    <message>
        <source>&lt;b&gt;Your Total Tally&lt;/b&gt;</source>
        <translation>&lt;b&gt;Deine Gesamtbilanz&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Total Games:</source>
        <translation>Spiele gesamt:</translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your Wins:</source>
        <translation>Deine Siege:</translation>
    </message>
    <message>
        <source>Total Words:</source>
        <translation>Wörter gesamt:</translation>
    </message>
    <message>
        <source>Best Scoring Word:</source>
        <translation>Bestes Wort:</translation>
    </message>
    <message>
        <source>XX&apos;s Tally</source>
        <translation>Bilanz von XX</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Sitzung</translation>
    </message>
    <message>
        <source>Number of Games:</source>
        <translation>Anzahl Spiele:</translation>
    </message>
    <message>
        <source>XX Wins:</source>
        <translation>Siege von XX:</translation>
    </message>
    <message>
        <source>Won as a Team:</source>
        <translation>Im Team gewonnen:</translation>
    </message>
    <message>
        <source>Players In Current Game</source>
        <translation>Spieler im laufenden Spiel</translation>
    </message>
    <message>
        <source>Players Being Tallied</source>
        <translation>Spieler in der Bilanz</translation>
    </message>
    <message>
        <source>Reset Tally</source>
        <translation>Bilanz zurücksetzen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>

The tally file was kept as </source>
        <translation>

Die Bilanzdatei wurde aufbewahrt als </translation>
    </message>
    <message>
        <source>; a new tally starts now.</source>
        <translation>; eine neue Bilanz beginnt jetzt.</translation>
    </message>
    <message>
        <source>%1 Wins:</source>
        <translation>Siege von %1:</translation>
    </message>
    <message>
        <source>%1&apos;s Tally</source>
        <translation>Bilanz von %1</translation>
    </message>
    <message>
        <source>This will delete %1&apos;s Tally, Are you want to delete it?</source>
        <translation>Damit wird die Bilanz von %1 gelöscht. Wirklich löschen?</translation>
    </message>
    <message>
        <source>Are you sure you want to reset the Tally?</source>
        <translation>Die Bilanz wirklich zurücksetzen?</translation>
    </message>
</context>
<context>
    <name>TurnPanel</name>
    <message>
        <source>Choose an arrow: %1</source>
        <translation>Wähle einen Pfeil: %1</translation>
    </message>
    <message>
        <source>Play Again</source>
        <translation>Noch einmal</translation>
    </message>
    <message>
        <source>Review</source>
        <translation>Rückblick</translation>
    </message>
    <message>
        <source>Time is Up!</source>
        <translation>Die Zeit ist um!</translation>
    </message>
    <message>
        <source>%1 is not a valid word.</source>
        <translation>%1 ist kein gültiges Wort.</translation>
    </message>
    <message>
        <source>Play to Score: </source>
        <translation>Spielen bis: </translation>
    </message>
    <message>
        <source>Time Per Turn: %1</source>
        <translation>Zeit pro Zug: %1</translation>
    </message>
    <message>
        <source>Your turn!</source>
        <translation>Du bist dran!</translation>
    </message>
    <message>
        <source>%1
is playing</source>
        <translation>%1
ist dran</translation>
    </message>
    <message>
        <source>Your Turn</source>
        <translation>Du bist dran</translation>
    </message>
    <message>
        <source>%1&apos;s Turn</source>
        <translation>%1 ist dran</translation>
    </message>
    <message>
        <source>Create a Word!</source>
        <translation>Leg ein Wort!</translation>
    </message>
    <message>
        <source>%1&apos;s turn.</source>
        <translation>%1 ist dran.</translation>
    </message>
    <message>
        <source>%1: %2 for %3 points.</source>
        <translation>%1: %2 für %3 Punkte.</translation>
    </message>
    <message>
        <source>Time: %1:%2</source>
        <translation>Zeit: %1:%2</translation>
    </message>
    <message>
        <source>GAME OVER!</source>
        <translation>SPIELENDE!</translation>
    </message>
    <message>
        <source>Team A</source>
        <translation>Team A</translation>
    </message>
    <message>
        <source>Team B</source>
        <translation>Team B</translation>
    </message>
    <message>
        <source>Slide down</source>
        <translation>Nach unten schieben</translation>
    </message>
    <message>
        <source>Slide left</source>
        <translation>Nach links schieben</translation>
    </message>
    <message>
        <source>Slide up</source>
        <translation>Nach oben schieben</translation>
    </message>
    <message>
        <source>Slide right</source>
        <translation>Nach rechts schieben</translation>
    </message>
</context>
<context>
    <name>chatter</name>
    <message>
        <source>Doh</source>
        <translation>Oh Mann</translation>
    </message>
    <message>
        <source>Cough</source>
        <translation>Husten</translation>
    </message>
    <message>
        <source>Hello</source>
        <translation>Hallo</translation>
    </message>
    <message>
        <source>Thank You</source>
        <translation>Danke</translation>
    </message>
    <message>
        <source>Where have you been?</source>
        <translation>Wo warst du?</translation>
    </message>
    <message>
        <source>Snoring</source>
        <translation>Schnarchen</translation>
    </message>
    <message>
        <source>Sneezing</source>
        <translation>Niesen</translation>
    </message>
    <message>
        <source>Sorry</source>
        <translation>Entschuldigung</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Yeehaa</source>
        <translation>Juhu</translation>
    </message>
    <message>
        <source>Yippee</source>
        <translation>Hurra</translation>
    </message>
    <message>
        <source>Oh No</source>
        <translation>Oh nein</translation>
    </message>
    <message>
        <source>Applause</source>
        <translation>Applaus</translation>
    </message>
    <message>
        <source>Honk</source>
        <translation>Hupe</translation>
    </message>
    <message>
        <source>Oooh</source>
        <translation>Ooooh</translation>
    </message>
    <message>
        <source>Razzberry</source>
        <translation>Pfft</translation>
    </message>
    <message>
        <source>Cheer</source>
        <translation>Jubel</translation>
    </message>
    <message>
        <source>Woman Laughing</source>
        <translation>Frau lacht</translation>
    </message>
    <message>
        <source>Man Laughing</source>
        <translation>Mann lacht</translation>
    </message>
    <message>
        <source>Crying</source>
        <translation>Weinen</translation>
    </message>
</context>
<context>
    <name>lobby::InternetLobby</name>
    <message>
        <source>The internet lobby at %1 does not answer; still trying.</source>
        <translation>Die Internet-Lobby bei %1 antwortet nicht; weitere Versuche laufen.</translation>
    </message>
    <message>
        <source>The internet lobby cannot be used: out of memory.</source>
        <translation>Die Internet-Lobby ist nicht nutzbar: kein Speicher mehr.</translation>
    </message>
    <message>
        <source>Connecting to the internet lobby at %1...</source>
        <translation>Verbinde mit der Internet-Lobby bei %1...</translation>
    </message>
    <message>
        <source>The internet lobby at %1 was not found: %2</source>
        <translation>Die Internet-Lobby bei %1 wurde nicht gefunden: %2</translation>
    </message>
    <message>
        <source>The internet lobby at %1 refused this copy: %2; trying again.</source>
        <translation>Die Internet-Lobby bei %1 hat dieses Spiel abgewiesen: %2; neuer Versuch läuft.</translation>
    </message>
    <message>
        <source>Connected to the internet lobby at %1.</source>
        <translation>Mit der Internet-Lobby bei %1 verbunden.</translation>
    </message>
    <message>
        <source>Lost the internet lobby at %1; trying again.</source>
        <translation>Verbindung zur Internet-Lobby bei %1 verloren; neuer Versuch läuft.</translation>
    </message>
    <message>
        <source>The secure connection to the internet lobby at %1 failed (%2); trying again.</source>
        <translation>Die sichere Verbindung zur Internet-Lobby bei %1 ist gescheitert (%2); neuer Versuch läuft.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Word Mire: a word game for one to four players on a 7 x 7 board of letter tiles.
Without arguments it starts a solo game against Klot. With three, it hosts or
joins a game on the network (the host listens on TCP port 7772).</source>
        <translation>Word Mire: ein Wortspiel für einen bis vier Spieler auf einem Brett aus 7 x 7 Buchstabenplättchen.
Ohne Argumente startet es ein Spiel allein gegen Klot. Mit dreien richtet es ein Spiel
im Netz aus oder tritt einem bei (der Gastgeber wartet auf TCP-Port 7772).</translation>
    </message>
    <message>
        <source>Your name in the game.</source>
        <translation>Dein Name im Spiel.</translation>
    </message>
    <message>
        <source>The host to join (host or host:port); not used when hosting.</source>
        <translation>Der Gastgeber, dem du beitrittst (Rechner oder Rechner:Port); beim Ausrichten unbenutzt.</translation>
    </message>
    <message>
        <source>Exactly &quot;true&quot; to host a game here; anything else joins the address.</source>
        <translation>Genau &quot;true&quot;, um hier ein Spiel auszurichten; alles andere tritt der Adresse bei.</translation>
    </message>
</context>
</TS>
