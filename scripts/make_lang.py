#!/usr/bin/env python3
"""Writes the five message catalogues lang/MisI01.dat .. lang/MisI05.dat and
the translators' table lang/README.md.

All texts live in this file; change a text here and run the script again:

    python3 scripts/make_lang.py          # write the files
    python3 scripts/make_lang.py --check  # only verify that the files are current

File format written: Windows-1252, every line ended by CR LF, physical line k
holds message k, unused numbers are empty lines, the last message is the last
line.  A "~" inside a text is the line break of the catalogue; no text ends with
"~", so no message ever spills onto a second physical line.
"""

import argparse
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LANG_DIR = ROOT / "lang"

# File number, language code, own name (message 1 must equal it).
LANGS = [
    (1, "es", "Español"),
    (2, "en", "English"),
    (3, "ca", "Català"),
    (4, "fr", "Français"),
    (5, "pt", "Português"),
]
CODES = [code for _, code, _ in LANGS]

# Kinds of text; the checks below depend on them.
NAME = "name"          # language name
TITLE = "title"        # window title
LABEL = "label"        # label caption
FRAME = "frame"        # frame caption
CARD = "card"          # card-type check box caption (product name, never translated)
CHECK = "check"        # option check box caption
TAB = "tab"            # tab caption
ITEM = "item"          # combo box item ("-" = no item)
BUTTON = "button"      # button caption
TIP = "tooltip"        # tooltip
LOG = "log"            # activity-log line
BOX = "box"            # message box text or title
SHOW = "display"       # read-tab display text

CAPTION_KINDS = {LABEL, FRAME, CARD, CHECK, TAB, BUTTON}
FIXED_KINDS = {CARD}   # identical in every language

ENTRIES = []  # (number, kind, role, {code: text})


def M(num, kind, role, es, en, ca, fr, pt):
    ENTRIES.append((num, kind, role, dict(es=es, en=en, ca=ca, fr=fr, pt=pt)))


def same(num, kind, role, text):
    """A text that is the same in every language (product names, symbols)."""
    M(num, kind, role, text, text, text, text, text)


# ---------------------------------------------------------------------------
# Window title and language names
# ---------------------------------------------------------------------------
M(1, NAME, "language's own name, shown on the language selector labels",
  es="Español", en="English", ca="Català", fr="Français", pt="Português")
M(2, TITLE, "window title",
  es="Zentap - Codificación de tarjetas MIFARE - KESTA-T2",
  en="Zentap - MIFARE card encoding - KESTA-T2",
  ca="Zentap - Codificació de targetes MIFARE - KESTA-T2",
  fr="Zentap - Encodage de cartes MIFARE - KESTA-T2",
  pt="Zentap - Codificação de cartões MIFARE - KESTA-T2")

# ---------------------------------------------------------------------------
# Field labels cLabel(1) .. cLabel(21) = 6 .. 26, cLabel(22) = 39
# ---------------------------------------------------------------------------
INST_CODE = dict(es="Cód. instalación:", en="Installation code:",
                 ca="Codi instal·lació:", fr="Code d'installation :",
                 pt="Cód. instalação:")
SECTOR = dict(es="Sector de datos:", en="Data sector:", ca="Sector de dades:",
              fr="Secteur de données :", pt="Setor de dados:")
MF_KEY = dict(es="Key MIFARE:", en="MIFARE key:", ca="Clau MIFARE:",
              fr="Clé MIFARE :", pt="Chave MIFARE:")

M(6, LABEL, "label cLabel(1): installation code (frame 46, installation parameters)", **INST_CODE)
M(7, LABEL, "label cLabel(2): data sector (frame 46)", **SECTOR)
M(8, LABEL, "label cLabel(3): MIFARE key of the installation (frame 46)", **MF_KEY)
M(9, LABEL, "label cLabel(4): current installation code (frame 48, current parameters)", **INST_CODE)
M(10, LABEL, "label cLabel(5): current data sector (frame 48)", **SECTOR)
M(11, LABEL, "label cLabel(6): current MIFARE key (frame 48)", **MF_KEY)
M(12, LABEL, "label cLabel(7): relay time (CONFIG card)",
  es="Tiempo relé:", en="Relay time:", ca="Temps relé:",
  fr="Temps relais :", pt="Tempo relé:")
M(13, LABEL, "label cLabel(8): list type (CONFIG card)",
  es="Tipo lista:", en="List type:", ca="Tipus llista:",
  fr="Type de liste :", pt="Tipo de lista:")
M(14, LABEL, "label cLabel(9): node number (CONFIG card)",
  es="Número de nodo:", en="Node number:", ca="Número de node:",
  fr="Numéro de nœud :", pt="Número de nó:")
M(15, LABEL, "label cLabel(10): note on the &H prefix for hexadecimal values "
  "(\"&&\" shows as one \"&\")",
  es="Nota: anteponer '&&H' para poner valores hexadecimales.",
  en="Note: prefix '&&H' to enter hexadecimal values.",
  ca="Nota: anteposeu '&&H' per posar valors hexadecimals.",
  fr="Note : préfixer '&&H' pour saisir des valeurs hexadécimales.",
  pt="Nota: antepor '&&H' para introduzir valores hexadecimais.")
M(16, LABEL, "label cLabel(11): balance decrement per use (CONFIG card)",
  es="Decremento:", en="Decrement:", ca="Decrement:",
  fr="Décrément :", pt="Decremento:")
M(17, LABEL, "label cLabel(12): user number of the next user card",
  es="Identificador usuario:", en="User ID:", ca="Identificador usuari:",
  fr="Identifiant utilisateur :", pt="Identificador utilizador:")
M(18, LABEL, "label cLabel(13): list of nodes not permitted",
  es="Nodos no autorizados:", en="Nodes not permitted:", ca="Nodes no autoritzats:",
  fr="Nœuds non autorisés :", pt="Nós não autorizados:")
M(19, LABEL, "label cLabel(14): list of permitted nodes",
  es="Nodos autorizados:", en="Permitted nodes:", ca="Nodes autoritzats:",
  fr="Nœuds autorisés :", pt="Nós autorizados:")
M(20, LABEL, "label cLabel(15): initial balance",
  es="Saldo inicial:", en="Initial balance:", ca="Saldo inicial:",
  fr="Solde initial :", pt="Saldo inicial:")
M(21, LABEL, "label cLabel(16): number of user cards to make",
  es="Número de tarjetas a crear:", en="Number of cards to make:",
  ca="Nombre de targetes a crear:", fr="Nombre de cartes à créer :",
  pt="Número de cartões a criar:")
same(22, LABEL, "label cLabel(17): key that opens the card (frame 47)", "INI_KEY A:")
M(23, LABEL, "label cLabel(18): test key 1 (read tab)",
  es="Key MIFARE 1:", en="MIFARE key 1:", ca="Clau MIFARE 1:",
  fr="Clé MIFARE 1 :", pt="Chave MIFARE 1:")
M(24, LABEL, "label cLabel(19): test key 2 (read tab)",
  es="Key MIFARE 2:", en="MIFARE key 2:", ca="Clau MIFARE 2:",
  fr="Clé MIFARE 2 :", pt="Chave MIFARE 2:")
M(25, LABEL, "label cLabel(20): test key 3 (read tab)",
  es="Key MIFARE 3:", en="MIFARE key 3:", ca="Clau MIFARE 3:",
  fr="Clé MIFARE 3 :", pt="Chave MIFARE 3:")
M(26, LABEL, "label cLabel(21): title of the raw block fields (read tab)",
  es="Información almacenada:", en="Stored information:",
  ca="Informació emmagatzemada:", fr="Informations stockées :",
  pt="Informação armazenada:")
M(39, LABEL, "label cLabel(22): scan frequency (CONFIG card)",
  es="Frec. de scan:", en="Scan frequency:", ca="Freq. d'escaneig:",
  fr="Fréq. de scan :", pt="Freq. de scan:")

# ---------------------------------------------------------------------------
# Frame captions cFrame(0) .. cFrame(6) = 45 .. 51
# ---------------------------------------------------------------------------
INST_PARAMS = dict(es="Parámetros de instalación", en="Installation parameters",
                   ca="Paràmetres d'instal·lació", fr="Paramètres d'installation",
                   pt="Parâmetros de instalação")
CUR_PARAMS = dict(es="Parámetros actuales", en="Current parameters",
                  ca="Paràmetres actuals", fr="Paramètres actuels",
                  pt="Parâmetros atuais")
M(45, FRAME, "frame cFrame(0): link controls",
  es="Canal de comunicaciones", en="Communication channel",
  ca="Canal de comunicacions", fr="Canal de communication",
  pt="Canal de comunicações")
M(46, FRAME, "frame cFrame(1): installation parameters", **INST_PARAMS)
M(47, FRAME, "frame cFrame(2): key that opens the card",
  es="Key para acceder a la tarjeta (modificar solo en tarjetas no vírgenes)",
  en="Key to access the card (change only for non-blank cards)",
  ca="Clau per accedir a la targeta (modificar només en targetes no verges)",
  fr="Clé d'accès à la carte (à modifier seulement pour des cartes non vierges)",
  pt="Chave para aceder ao cartão (alterar só em cartões não virgens)")
M(48, FRAME, "frame cFrame(3): current parameters of the terminal (MASTER card)", **CUR_PARAMS)
M(49, FRAME, "frame cFrame(4): numeric cards",
  es="Tarjetas numéricas", en="Numeric cards", ca="Targetes numèriques",
  fr="Cartes numériques", pt="Cartões numéricos")
M(50, FRAME, "frame cFrame(5): test keys (read tab)",
  es="Keys de prueba", en="Test keys", ca="Claus de prova",
  fr="Clés de test", pt="Chaves de teste")
M(51, FRAME, "frame cFrame(6): card data (read tab)",
  es="Datos de la tarjeta", en="Card data", ca="Dades de la targeta",
  fr="Données de la carte", pt="Dados do cartão")

# ---------------------------------------------------------------------------
# Card-type check boxes cSelTar: 60, 61, 65..79, 85..87 (printed on the
# cards' sleeves, so never translated)
# ---------------------------------------------------------------------------
same(60, CARD, "card type box cSelTar(0)", "MASTER")
same(61, CARD, "card type box cSelTar(1)", "CONFIG")
for _i, _name in enumerate(["ALTA", "ALTA BLOCK", "BAJA", "BAJA BLOCK", "NUEVO"]):
    same(65 + _i, CARD, f"card type box cSelTar({10 + _i})", _name)
for _d in range(10):
    same(70 + _d, CARD, f"card type box cSelTar({15 + _d})", f"NUM. {_d}")
for _i, _name in enumerate(["USUARIO BASICO", "USUARIO AVANZADO", "USUARIO CON SALDO"]):
    same(85 + _i, CARD, f"card type box cSelTar({30 + _i})", _name)

# ---------------------------------------------------------------------------
# Option check boxes 90..92, tabs 95..98
# ---------------------------------------------------------------------------
M(90, CHECK, "check box chkEspResList: CONFIG card clears the terminal's user list",
  es="Borrar todos los usuarios de la lista.",
  en="Delete all users from the list.",
  ca="Esborrar tots els usuaris de la llista.",
  fr="Effacer tous les utilisateurs de la liste.",
  pt="Apagar todos os utilizadores da lista.")
M(91, CHECK, "check box chkEspNodoTar: node number entered with the numeric cards",
  es="Introducir nº de nodo con tarjetas numéricas.",
  en="Enter the node number with the numeric cards.",
  ca="Introduir el núm. de node amb targetes numèriques.",
  fr="Saisir le n° de nœud avec les cartes numériques.",
  pt="Introduzir o n.º de nó com cartões numéricos.")
M(92, CHECK, "check box chkCfgRelExt: external relay driven by the frame beside it",
  es="Activar relé externo a través de la siguiente trama:",
  en="Enable an external relay with the following frame:",
  ca="Activar relé extern amb la trama següent:",
  fr="Activer un relais externe avec la trame suivante :",
  pt="Ativar relé externo com a seguinte trama:")
M(95, TAB, "tab 0 caption (MASTER and CONFIG cards)",
  es="Configuración", en="Configuration", ca="Configuració",
  fr="Configuration", pt="Configuração")
M(96, TAB, "tab 1 caption (generic cards)",
  es="Genéricas", en="Generic", ca="Genèriques", fr="Génériques", pt="Genéricos")
M(97, TAB, "tab 2 caption (user cards)",
  es="Usuario", en="User", ca="Usuari", fr="Utilisateur", pt="Utilizador")
M(98, TAB, "tab 3 caption (reading a card)",
  es="Lectura", en="Reading", ca="Lectura", fr="Lecture", pt="Leitura")

# ---------------------------------------------------------------------------
# Combo items.  The position of an item is written to the CONFIG card, so the
# order must stay: 100 tenths, 101 seconds, 102 minutes; 110 white, 111 black.
# "-" leaves the number out of the list.
# ---------------------------------------------------------------------------
M(100, ITEM, "relay time unit 0: tenths of a second",
  es="Décimas de segundo", en="Tenths of a second", ca="Dècimes de segon",
  fr="Dixièmes de seconde", pt="Décimas de segundo")
M(101, ITEM, "relay time unit 1: seconds (the default)",
  es="Segundos", en="Seconds", ca="Segons", fr="Secondes", pt="Segundos")
M(102, ITEM, "relay time unit 2: minutes",
  es="Minutos", en="Minutes", ca="Minuts", fr="Minutes", pt="Minutos")
for _n in (103, 104, 105):
    same(_n, ITEM, f"relay time unit {_n - 100}: not used (\"-\" adds no item)", "-")
M(110, ITEM, "list type 0: white list (the default)",
  es="Lista blanca", en="White list", ca="Llista blanca",
  fr="Liste blanche", pt="Lista branca")
M(111, ITEM, "list type 1: black list",
  es="Lista negra", en="Black list", ca="Llista negra",
  fr="Liste noire", pt="Lista negra")
for _n in (112, 113, 114, 115):
    same(_n, ITEM, f"list type {_n - 110}: not used (\"-\" adds no item)", "-")

# ---------------------------------------------------------------------------
# Button captions 130..148
# ---------------------------------------------------------------------------
M(130, BUTTON, "button cmdOpenCom: open the serial port",
  es="Abrir COM", en="Open COM", ca="Obrir COM", fr="Ouvrir COM", pt="Abrir COM")
M(131, BUTTON, "button cmdOpenTCP: connect over TCP",
  es="Abrir TCP", en="Open TCP", ca="Obrir TCP", fr="Ouvrir TCP", pt="Abrir TCP")
M(132, BUTTON, "button cmdClose: close the link",
  es="Cerrar puerto", en="Close port", ca="Tancar port",
  fr="Fermer le port", pt="Fechar porta")
M(133, BUTTON, "button cmdScanCom: scan the serial ports",
  es="Escaneo de puertos serie", en="Scan serial ports",
  ca="Escaneig de ports sèrie", fr="Recherche des ports série",
  pt="Pesquisar portas série")
M(134, BUTTON, "button cBorrar: clear the activity log",
  es="Borrar", en="Clear", ca="Esborrar", fr="Effacer", pt="Limpar")
for _n, _what in [(135, "cmdStart(0): start encoding (Configuration tab)"),
                  (137, "cmdStart(1): start encoding (Generic tab)"),
                  (139, "cmdStart(2): start encoding (User tab)"),
                  (141, "cmdLecTar: start reading (Reading tab)")]:
    same(_n, BUTTON, "button " + _what, "Start")
for _n, _what in [(136, "cmdStop(0)"), (138, "cmdStop(1)"),
                  (140, "cmdStop(2)"), (142, "cmdStop(3)")]:
    same(_n, BUTTON, f"button {_what}: stop the run of its tab", "Stop")
M(143, BUTTON, "button cmdDeSel: untick all generic and numeric cards",
  es="Deseleccionar todas", en="Deselect all", ca="Desseleccionar totes",
  fr="Tout désélectionner", pt="Desmarcar todos")
M(144, BUTTON, "button cmdSelTot: tick all generic and numeric cards",
  es="Seleccionar todas", en="Select all", ca="Seleccionar totes",
  fr="Tout sélectionner", pt="Marcar todos")
same(145, BUTTON, "button cAddListPermit: permit the selected node", ">>")
same(146, BUTTON, "button cDelListPermit: revoke the selected node", "<<")
M(147, BUTTON, "button cDelAllListPermit: revoke all nodes",
  es="Desautorizar todos", en="Revoke all", ca="Desautoritzar tots",
  fr="Tout interdire", pt="Desautorizar todos")
M(148, BUTTON, "button cAddAllListPermit: permit all nodes",
  es="Autorizar todos", en="Permit all", ca="Autoritzar tots",
  fr="Tout autoriser", pt="Autorizar todos")

# ---------------------------------------------------------------------------
# Tooltips of the buttons 150..168
# ---------------------------------------------------------------------------
STOP_ENC = dict(es="Detiene la codificación en curso.",
                en="Stops the encoding in progress.",
                ca="Atura la codificació en curs.",
                fr="Arrête l'encodage en cours.",
                pt="Para a codificação em curso.")
ONE_BY_ONE = dict(es="Presente las tarjetas en el lector de una en una.",
                  en="Present the cards to the reader one at a time.",
                  ca="Presenteu les targetes al lector d'una en una.",
                  fr="Présentez les cartes au lecteur une par une.",
                  pt="Apresente os cartões ao leitor um de cada vez.")


def with_one_by_one(**first):
    return {c: first[c] + "~" + ONE_BY_ONE[c] for c in CODES}


M(150, TIP, "tooltip of cmdOpenCom",
  es="Abre el puerto serie indicado (número de puerto y velocidad).",
  en="Opens the serial port given (port number and speed).",
  ca="Obre el port sèrie indicat (número de port i velocitat).",
  fr="Ouvre le port série indiqué (numéro de port et vitesse).",
  pt="Abre a porta série indicada (número de porta e velocidade).")
M(151, TIP, "tooltip of cmdOpenTCP",
  es="Conecta con el lector por red (TCP, puerto 1001) en la dirección indicada.~"
     "Espera la conexión hasta 20 segundos.",
  en="Connects to the reader over the network (TCP, port 1001) at the address given.~"
     "Waits up to 20 seconds for the connection.",
  ca="Connecta amb el lector per xarxa (TCP, port 1001) a l'adreça indicada.~"
     "Espera la connexió fins a 20 segons.",
  fr="Se connecte au lecteur par le réseau (TCP, port 1001) à l'adresse indiquée.~"
     "Attend la connexion jusqu'à 20 secondes.",
  pt="Liga ao leitor pela rede (TCP, porta 1001) no endereço indicado.~"
     "Espera pela ligação até 20 segundos.")
M(152, TIP, "tooltip of cmdClose",
  es="Cierra la conexión con el lector (puerto serie o TCP).",
  en="Closes the connection to the reader (serial port or TCP).",
  ca="Tanca la connexió amb el lector (port sèrie o TCP).",
  fr="Ferme la connexion avec le lecteur (port série ou TCP).",
  pt="Fecha a ligação ao leitor (porta série ou TCP).")
M(153, TIP, "tooltip of cmdScanCom",
  es="Busca los puertos serie que se pueden abrir y muestra la lista.",
  en="Looks for the serial ports that can be opened and lists them.",
  ca="Cerca els ports sèrie que es poden obrir i en mostra la llista.",
  fr="Cherche les ports série qui peuvent être ouverts et en affiche la liste.",
  pt="Procura as portas série que podem ser abertas e mostra a lista.")
M(154, TIP, "tooltip of cBorrar",
  es="Borra el registro de actividad.",
  en="Clears the activity log.",
  ca="Esborra el registre d'activitat.",
  fr="Efface le journal d'activité.",
  pt="Limpa o registo de atividade.")
M(155, TIP, "tooltip of cmdStart(0)", **with_one_by_one(
  es="Empieza a codificar las tarjetas marcadas en esta pestaña (MASTER, CONFIG).",
  en="Starts encoding the cards ticked on this tab (MASTER, CONFIG).",
  ca="Comença a codificar les targetes marcades en aquesta pestanya (MASTER, CONFIG).",
  fr="Lance l'encodage des cartes cochées dans cet onglet (MASTER, CONFIG).",
  pt="Começa a codificar os cartões marcados neste separador (MASTER, CONFIG)."))
M(156, TIP, "tooltip of cmdStop(0)", **STOP_ENC)
M(157, TIP, "tooltip of cmdStart(1)", **with_one_by_one(
  es="Empieza a codificar las tarjetas genéricas y numéricas marcadas.",
  en="Starts encoding the generic and numeric cards ticked.",
  ca="Comença a codificar les targetes genèriques i numèriques marcades.",
  fr="Lance l'encodage des cartes génériques et numériques cochées.",
  pt="Começa a codificar os cartões genéricos e numéricos marcados."))
M(158, TIP, "tooltip of cmdStop(1)", **STOP_ENC)
M(159, TIP, "tooltip of cmdStart(2)", **with_one_by_one(
  es="Empieza a codificar las tarjetas de usuario del tipo marcado.",
  en="Starts encoding user cards of the type ticked.",
  ca="Comença a codificar les targetes d'usuari del tipus marcat.",
  fr="Lance l'encodage des cartes utilisateur du type coché.",
  pt="Começa a codificar os cartões de utilizador do tipo marcado."))
M(160, TIP, "tooltip of cmdStop(2)", **STOP_ENC)
M(161, TIP, "tooltip of cmdLecTar",
  es="Empieza la lectura: presente una tarjeta en el lector y verá su contenido.",
  en="Starts reading: present a card to the reader to see what it holds.",
  ca="Comença la lectura: presenteu una targeta al lector i en veureu el contingut.",
  fr="Lance la lecture : présentez une carte au lecteur pour voir son contenu.",
  pt="Começa a leitura: apresente um cartão ao leitor para ver o seu conteúdo.")
M(162, TIP, "tooltip of cmdStop(3)",
  es="Detiene la lectura de tarjetas.",
  en="Stops reading cards.",
  ca="Atura la lectura de targetes.",
  fr="Arrête la lecture des cartes.",
  pt="Para a leitura de cartões.")
M(163, TIP, "tooltip of cmdDeSel",
  es="Desmarca todas las tarjetas genéricas y numéricas.",
  en="Unticks all generic and numeric cards.",
  ca="Desmarca totes les targetes genèriques i numèriques.",
  fr="Décoche toutes les cartes génériques et numériques.",
  pt="Desmarca todos os cartões genéricos e numéricos.")
M(164, TIP, "tooltip of cmdSelTot",
  es="Marca todas las tarjetas genéricas y numéricas.",
  en="Ticks all generic and numeric cards.",
  ca="Marca totes les targetes genèriques i numèriques.",
  fr="Coche toutes les cartes génériques et numériques.",
  pt="Marca todos os cartões genéricos e numéricos.")
M(165, TIP, "tooltip of cAddListPermit",
  es="Autoriza el nodo seleccionado en la lista de no autorizados.",
  en="Permits the node selected in the list of nodes not permitted.",
  ca="Autoritza el node seleccionat a la llista de no autoritzats.",
  fr="Autorise le nœud sélectionné dans la liste des nœuds non autorisés.",
  pt="Autoriza o nó selecionado na lista de não autorizados.")
M(166, TIP, "tooltip of cDelListPermit",
  es="Quita la autorización del nodo seleccionado en la lista de autorizados.",
  en="Revokes the node selected in the list of permitted nodes.",
  ca="Treu l'autorització del node seleccionat a la llista d'autoritzats.",
  fr="Retire l'autorisation du nœud sélectionné dans la liste des nœuds autorisés.",
  pt="Retira a autorização do nó selecionado na lista de autorizados.")
M(167, TIP, "tooltip of cDelAllListPermit",
  es="Quita la autorización de todos los nodos.",
  en="Revokes all nodes.",
  ca="Treu l'autorització de tots els nodes.",
  fr="Retire l'autorisation de tous les nœuds.",
  pt="Retira a autorização de todos os nós.")
M(168, TIP, "tooltip of cAddAllListPermit",
  es="Autoriza todos los nodos (0 a 255).",
  en="Permits all nodes (0 to 255).",
  ca="Autoritza tots els nodes (0 a 255).",
  fr="Autorise tous les nœuds (0 à 255).",
  pt="Autoriza todos os nós (0 a 255).")

# ---------------------------------------------------------------------------
# Start-up lines and port scan
# ---------------------------------------------------------------------------
M(170, LOG, "first start-up log line: program name and version",
  es="Zentap 2.20 - Codificación de tarjetas MIFARE para KESTA-T2",
  en="Zentap 2.20 - MIFARE card encoding for KESTA-T2",
  ca="Zentap 2.20 - Codificació de targetes MIFARE per a KESTA-T2",
  fr="Zentap 2.20 - Encodage de cartes MIFARE pour KESTA-T2",
  pt="Zentap 2.20 - Codificação de cartões MIFARE para KESTA-T2")
M(171, LOG, "second start-up log line: what to do first",
  es="Abra el puerto del lector (COM o TCP) para empezar.",
  en="Open the reader's port (COM or TCP) to begin.",
  ca="Obriu el port del lector (COM o TCP) per començar.",
  fr="Ouvrez le port du lecteur (COM ou TCP) pour commencer.",
  pt="Abra a porta do leitor (COM ou TCP) para começar.")
M(172, BOX, "port scan result text; the program appends \": \" and the port numbers",
  es="Puertos serie disponibles", en="Serial ports available",
  ca="Ports sèrie disponibles", fr="Ports série disponibles",
  pt="Portas série disponíveis")
M(173, BOX, "port scan result box title",
  es="Escaneo de puertos serie", en="Serial port scan",
  ca="Escaneig de ports sèrie", fr="Recherche des ports série",
  pt="Pesquisa de portas série")

# ---------------------------------------------------------------------------
# Encoding run 174..192
# ---------------------------------------------------------------------------
M(174, LOG, "encoding run: no answer to the link test (box 191 follows)",
  es="El lector no responde a la prueba de enlace.",
  en="The reader does not answer the link test.",
  ca="El lector no respon a la prova d'enllaç.",
  fr="Le lecteur ne répond pas au test de liaison.",
  pt="O leitor não responde ao teste de ligação.")
M(175, LOG, "encoding run: no answer to the start-up request (box 191 follows)",
  es="El lector no responde a la inicialización.",
  en="The reader does not answer the start-up request.",
  ca="El lector no respon a la inicialització.",
  fr="Le lecteur ne répond pas à l'initialisation.",
  pt="O leitor não responde à inicialização.")
M(176, LOG, "encoding run: heading word; the program appends \": \" and the card caption",
  es="Tarjeta", en="Card", ca="Targeta", fr="Carte", pt="Cartão")
M(177, LOG, "encoding and read runs: run stopped with Stop",
  es="Proceso detenido por el usuario.",
  en="Stopped by the user.",
  ca="Procés aturat per l'usuari.",
  fr="Arrêté par l'utilisateur.",
  pt="Processo parado pelo utilizador.")
M(178, LOG, "encoding run: UID length code not 1..3, no UID line",
  es="Longitud de UID desconocida.",
  en="Unknown UID length.",
  ca="Longitud d'UID desconeguda.",
  fr="Longueur d'UID inconnue.",
  pt="Comprimento de UID desconhecido.")
M(179, LOG, "encoding run: no answer to Select (card failure follows)",
  es="La tarjeta no responde a Select.",
  en="The card does not answer Select.",
  ca="La targeta no respon a Select.",
  fr="La carte ne répond pas à Select.",
  pt="O cartão não responde a Select.")
M(180, LOG, "encoding run: Select status 0, no card answered (card failure follows)",
  es="Ninguna tarjeta ha respondido.",
  en="No card answered.",
  ca="Cap targeta no ha respost.",
  fr="Aucune carte n'a répondu.",
  pt="Nenhum cartão respondeu.")
M(181, LOG, "encoding run: Select status 1, MIFARE Classic 1K card",
  es="Tarjeta MIFARE Classic 1K", en="MIFARE Classic 1K card",
  ca="Targeta MIFARE Classic 1K", fr="Carte MIFARE Classic 1K",
  pt="Cartão MIFARE Classic 1K")
M(182, LOG, "encoding run: Select status 2, MIFARE Classic 4K card",
  es="Tarjeta MIFARE Classic 4K", en="MIFARE Classic 4K card",
  ca="Targeta MIFARE Classic 4K", fr="Carte MIFARE Classic 4K",
  pt="Cartão MIFARE Classic 4K")
M(183, LOG, "encoding run: Select status 3, MIFARE Classic Mini card",
  es="Tarjeta MIFARE Classic Mini", en="MIFARE Classic Mini card",
  ca="Targeta MIFARE Classic Mini", fr="Carte MIFARE Classic Mini",
  pt="Cartão MIFARE Classic Mini")
M(184, LOG, "encoding run: INI_KEY A is not 12 hex characters (box 192 follows)",
  es="INI_KEY A no válida: escriba 12 caracteres hexadecimales (0-9, A-F).",
  en="INI_KEY A is not valid: type 12 hexadecimal characters (0-9, A-F).",
  ca="INI_KEY A no vàlida: escriviu 12 caràcters hexadecimals (0-9, A-F).",
  fr="INI_KEY A non valide : saisissez 12 caractères hexadécimaux (0-9, A-F).",
  pt="INI_KEY A inválida: escreva 12 caracteres hexadecimais (0-9, A-F).")
M(185, LOG, "encoding run: MIFARE key (current key for MASTER) is not 12 hex characters "
  "(box 192 follows)",
  es="Key MIFARE no válida: escriba 12 caracteres hexadecimales (0-9, A-F).",
  en="MIFARE key is not valid: type 12 hexadecimal characters (0-9, A-F).",
  ca="Clau MIFARE no vàlida: escriviu 12 caràcters hexadecimals (0-9, A-F).",
  fr="Clé MIFARE non valide : saisissez 12 caractères hexadécimaux (0-9, A-F).",
  pt="Chave MIFARE inválida: escreva 12 caracteres hexadecimais (0-9, A-F).")
M(186, LOG, "encoding run: reader did not accept the login key (box 191 follows)",
  es="El lector no ha aceptado la key.",
  en="The reader did not accept the key.",
  ca="El lector no ha acceptat la clau.",
  fr="Le lecteur n'a pas accepté la clé.",
  pt="O leitor não aceitou a chave.")
M(187, LOG, "encoding run: login refused or unanswered (card failure follows)",
  es="Login fallido: INI_KEY A no abre el sector de datos de esta tarjeta.",
  en="Login failed: INI_KEY A does not open the data sector of this card.",
  ca="Login fallit: INI_KEY A no obre el sector de dades d'aquesta targeta.",
  fr="Échec du login : INI_KEY A n'ouvre pas le secteur de données de cette carte.",
  pt="Login falhado: INI_KEY A não abre o setor de dados deste cartão.")
M(188, LOG, "encoding run: a data block is not 32 hex characters (box 192 follows)",
  es="Datos no válidos para la tarjeta: revise el código de instalación y los valores "
     "numéricos (solo números enteros).",
  en="Card data not valid: check the installation code and the numeric values "
     "(whole numbers only).",
  ca="Dades no vàlides per a la targeta: reviseu el codi d'instal·lació i els valors "
     "numèrics (només nombres enters).",
  fr="Données de carte non valides : vérifiez le code d'installation et les valeurs "
     "numériques (nombres entiers uniquement).",
  pt="Dados inválidos para o cartão: verifique o código de instalação e os valores "
     "numéricos (só números inteiros).")
M(189, LOG, "encoding run: a block write not accepted (card failure follows)",
  es="Error al escribir en la tarjeta.",
  en="Writing to the card failed.",
  ca="Error en escriure a la targeta.",
  fr="Échec de l'écriture sur la carte.",
  pt="Erro ao escrever no cartão.")
M(190, BOX, "message box of a card failure: remove the card, press OK, same type waits again",
  es="No se ha podido codificar la tarjeta.~Retírela del lector y pulse OK.~"
     "Después se esperará otra tarjeta del mismo tipo.",
  en="The card could not be encoded.~Remove it from the reader and press OK.~"
     "The same card type then waits for the next card.",
  ca="No s'ha pogut codificar la targeta.~Traieu-la del lector i premeu OK.~"
     "Després s'esperarà una altra targeta del mateix tipus.",
  fr="La carte n'a pas pu être encodée.~Retirez-la du lecteur et appuyez sur OK.~"
     "Le même type de carte attendra ensuite la carte suivante.",
  pt="Não foi possível codificar o cartão.~Retire-o do leitor e prima OK.~"
     "Depois será esperado outro cartão do mesmo tipo.")
M(191, BOX, "message box: no communication with the reader (run ends)",
  es="No hay comunicación con el lector.~"
     "Compruebe el cable, la alimentación y el puerto, y vuelva a intentarlo.",
  en="No communication with the reader.~"
     "Check the cable, the power supply and the port, then try again.",
  ca="No hi ha comunicació amb el lector.~"
     "Comproveu el cable, l'alimentació i el port, i torneu-ho a provar.",
  fr="Pas de communication avec le lecteur.~"
     "Vérifiez le câble, l'alimentation et le port, puis réessayez.",
  pt="Sem comunicação com o leitor.~"
     "Verifique o cabo, a alimentação e a porta, e tente de novo.")
M(192, BOX, "message box: wrong data in the fields (run ends)",
  es="Datos incorrectos en los campos.~"
     "Revise las keys (12 caracteres hexadecimales, 0-9 y A-F) y los valores numéricos.",
  en="Wrong data in the fields.~"
     "Check the keys (12 hexadecimal characters, 0-9 and A-F) and the numeric values.",
  ca="Dades incorrectes als camps.~"
     "Reviseu les claus (12 caràcters hexadecimals, 0-9 i A-F) i els valors numèrics.",
  fr="Données incorrectes dans les champs.~"
     "Vérifiez les clés (12 caractères hexadécimaux, 0-9 et A-F) et les valeurs numériques.",
  pt="Dados incorretos nos campos.~"
     "Verifique as chaves (12 caracteres hexadecimais, 0-9 e A-F) e os valores numéricos.")

# ---------------------------------------------------------------------------
# Read run 193..197
# ---------------------------------------------------------------------------
def bad_test_key(k):
    return dict(
        es=f"Key MIFARE {k} no válida: debe tener 12 caracteres hexadecimales "
           "(0-9, A-F en mayúsculas).",
        en=f"MIFARE key {k} is not valid: it needs 12 hexadecimal characters "
           "(0-9, upper-case A-F).",
        ca=f"Clau MIFARE {k} no vàlida: ha de tenir 12 caràcters hexadecimals "
           "(0-9, A-F en majúscules).",
        fr=f"Clé MIFARE {k} non valide : il faut 12 caractères hexadécimaux "
           "(0-9, A-F en majuscules).",
        pt=f"Chave MIFARE {k} inválida: deve ter 12 caracteres hexadecimais "
           "(0-9, A-F em maiúsculas).")


M(193, LOG, "read run: test key 1 is not 12 upper-case hex characters (run ends)", **bad_test_key(1))
M(194, LOG, "read run: test key 2 is not 12 upper-case hex characters (run ends)", **bad_test_key(2))
M(195, LOG, "read run: test key 3 is not 12 upper-case hex characters (run ends)", **bad_test_key(3))
M(196, LOG, "read run: test key not stored by the reader; the program appends \"[slot]\"",
  es="Error al guardar la key de prueba en el lector",
  en="The reader did not store the test key",
  ca="Error en desar la clau de prova al lector",
  fr="Échec de l'enregistrement de la clé de test dans le lecteur",
  pt="Erro ao guardar a chave de teste no leitor")
M(197, LOG, "read run: invitation shown between dashes before every card",
  es="Presente una tarjeta", en="Present a card", ca="Presenteu una targeta",
  fr="Présentez une carte", pt="Apresente um cartão")

# ---------------------------------------------------------------------------
# Card display on the read tab 198..216
# ---------------------------------------------------------------------------
M(198, SHOW, "card display: installation code; the program appends \": \" and the code",
  es="Cód. instalación", en="Installation code", ca="Codi instal·lació",
  fr="Code d'installation", pt="Cód. instalação")
M(199, SHOW, "card display: key that opened the card; the program appends \": \" and the key",
  es="Key", en="Key", ca="Clau", fr="Clé", pt="Chave")
M(200, SHOW, "card display: data sector read; the program appends \": \" and the number",
  es="Sector", en="Sector", ca="Sector", fr="Secteur", pt="Setor")
same(201, SHOW, "card display: type code 69", "MASTER")
same(202, SHOW, "card display: type code 52", "CONFIG")
for _n, _code in [(203, 53), (204, 54), (205, 55)]:
    M(_n, SHOW, f"card display: type code {_code} (recognised, never written here)",
      es=f"Tarjeta especial (código {_code})", en=f"Special card (code {_code})",
      ca=f"Targeta especial (codi {_code})", fr=f"Carte spéciale (code {_code})",
      pt=f"Cartão especial (código {_code})")
same(206, SHOW, "card display: type code 10; the program appends \" - \" and the user", "USUARIO BASICO")
same(207, SHOW, "card display: type code 11; the program appends \" - \" and the user", "USUARIO AVANZADO")
same(208, SHOW, "card display: type code 12; the program appends \" - \" and the user", "USUARIO CON SALDO")
M(209, SHOW, "card display: type code 13 (recognised, never written here); "
  "the program appends \" - \" and the user",
  es="Usuario (código 13)", en="User (code 13)", ca="Usuari (codi 13)",
  fr="Utilisateur (code 13)", pt="Utilizador (código 13)")
same(210, SHOW, "card display: type code 45", "ALTA")
same(211, SHOW, "card display: type code 46", "ALTA BLOCK")
same(212, SHOW, "card display: type code 28", "BAJA")
same(213, SHOW, "card display: type code 29", "BAJA BLOCK")
same(214, SHOW, "card display: type code 47", "NUEVO")
same(215, SHOW, "card display: type code 83; the program appends a blank and the digit", "NUM.")
M(216, SHOW, "card display: unknown type code",
  es="Tarjeta desconocida o vacía", en="Unknown or blank card",
  ca="Targeta desconeguda o buida", fr="Carte inconnue ou vierge",
  pt="Cartão desconhecido ou vazio")

# ---------------------------------------------------------------------------
# Tooltips of fields and lists 230..260, 273
# ---------------------------------------------------------------------------
M(230, TIP, "tooltip of cEditCfg1 (serial port number)",
  es="Número del puerto serie del lector (1, 2, 3...).~"
     "«Escaneo de puertos serie» muestra los disponibles.",
  en="Number of the reader's serial port (1, 2, 3...).~"
     "\"Scan serial ports\" shows the ones available.",
  ca="Número del port sèrie del lector (1, 2, 3...).~"
     "«Escaneig de ports sèrie» mostra els disponibles.",
  fr="Numéro du port série du lecteur (1, 2, 3...).~"
     "« Recherche des ports série » affiche ceux qui sont disponibles.",
  pt="Número da porta série do leitor (1, 2, 3...).~"
     "\"Pesquisar portas série\" mostra as disponíveis.")
M(231, TIP, "tooltip of cCombo1 (baud rate)",
  es="Velocidad del puerto serie en baudios (la del lector; normalmente 9600).",
  en="Serial port speed in baud (the reader's; usually 9600).",
  ca="Velocitat del port sèrie en bauds (la del lector; normalment 9600).",
  fr="Vitesse du port série en bauds (celle du lecteur ; en général 9600).",
  pt="Velocidade da porta série em bauds (a do leitor; normalmente 9600).")
M(232, TIP, "tooltip of cEditCfg3 (TCP address of the reader)",
  es="Dirección IP o nombre en red del lector. Se conecta al puerto TCP 1001.",
  en="IP address or network name of the reader. Connects to TCP port 1001.",
  ca="Adreça IP o nom de xarxa del lector. Es connecta al port TCP 1001.",
  fr="Adresse IP ou nom réseau du lecteur. Connexion au port TCP 1001.",
  pt="Endereço IP ou nome de rede do leitor. Liga à porta TCP 1001.")
M(233, TIP, "tooltip of txtNumInst (installation code)",
  es="Código de instalación: 4 cifras (0000-9999).~"
     "Es el mismo en todas las tarjetas y terminales de la instalación.",
  en="Installation code: 4 digits (0000-9999).~"
     "The same on every card and terminal of the installation.",
  ca="Codi d'instal·lació: 4 xifres (0000-9999).~"
     "És el mateix a totes les targetes i terminals de la instal·lació.",
  fr="Code d'installation : 4 chiffres (0000-9999).~"
     "Le même sur toutes les cartes et tous les terminaux de l'installation.",
  pt="Código de instalação: 4 algarismos (0000-9999).~"
     "É o mesmo em todos os cartões e terminais da instalação.")
M(234, TIP, "tooltip of txtSector (data sector)",
  es="Sector de la tarjeta donde se graban los datos (0 a 15 en tarjetas 1K; normalmente 1).",
  en="Card sector that holds the data (0 to 15 on 1K cards; usually 1).",
  ca="Sector de la targeta on es graven les dades (de 0 a 15 en targetes 1K; normalment 1).",
  fr="Secteur de la carte où les données sont écrites (0 à 15 sur les cartes 1K ; "
     "en général 1).",
  pt="Setor do cartão onde os dados são gravados (0 a 15 em cartões 1K; normalmente 1).")
M(235, TIP, "tooltip of txtKeyMF (MIFARE key of the installation)",
  es="Key MIFARE de la instalación: 12 caracteres hexadecimales (0-9, A-F).~"
     "Se graba en las tarjetas y protege su sector de datos.",
  en="MIFARE key of the installation: 12 hexadecimal characters (0-9, A-F).~"
     "It is written to the cards and protects their data sector.",
  ca="Clau MIFARE de la instal·lació: 12 caràcters hexadecimals (0-9, A-F).~"
     "Es grava a les targetes i en protegeix el sector de dades.",
  fr="Clé MIFARE de l'installation : 12 caractères hexadécimaux (0-9, A-F).~"
     "Elle est écrite sur les cartes et protège leur secteur de données.",
  pt="Chave MIFARE da instalação: 12 caracteres hexadecimais (0-9, A-F).~"
     "É gravada nos cartões e protege o seu setor de dados.")
M(236, TIP, "tooltip of txtKeyTar (INI_KEY A, the key that opens the card)",
  es="Key que abre ahora la tarjeta: 12 caracteres hexadecimales (0-9, A-F).~"
     "Las tarjetas vírgenes usan FFFFFFFFFFFF; cámbiela solo para volver a codificar "
     "tarjetas ya grabadas.",
  en="Key that opens the card now: 12 hexadecimal characters (0-9, A-F).~"
     "Blank cards use FFFFFFFFFFFF; change it only to re-encode cards already written.",
  ca="Clau que obre ara la targeta: 12 caràcters hexadecimals (0-9, A-F).~"
     "Les targetes verges fan servir FFFFFFFFFFFF; canvieu-la només per recodificar "
     "targetes ja gravades.",
  fr="Clé qui ouvre actuellement la carte : 12 caractères hexadécimaux (0-9, A-F).~"
     "Cartes vierges : FFFFFFFFFFFF. Ne la changez que pour réencoder des cartes "
     "déjà écrites.",
  pt="Chave que abre agora o cartão: 12 caracteres hexadecimais (0-9, A-F).~"
     "Os cartões virgens usam FFFFFFFFFFFF; altere-a só para recodificar cartões "
     "já gravados.")
M(237, TIP, "tooltip of listInfo (activity log)",
  es="Registro de actividad: cada paso y cada respuesta del lector.",
  en="Activity log: every step and every answer of the reader.",
  ca="Registre d'activitat: cada pas i cada resposta del lector.",
  fr="Journal d'activité : chaque étape et chaque réponse du lecteur.",
  pt="Registo de atividade: cada passo e cada resposta do leitor.")
M(238, TIP, "tooltip of txtOldNumInst (current installation code, MASTER card)",
  es="Código de instalación que tiene ahora el terminal (4 cifras).~"
     "La tarjeta MASTER lo cambia por el de «Parámetros de instalación».",
  en="Installation code the terminal has now (4 digits).~"
     "The MASTER card changes it to the one in \"Installation parameters\".",
  ca="Codi d'instal·lació que té ara el terminal (4 xifres).~"
     "La targeta MASTER el canvia pel de «Paràmetres d'instal·lació».",
  fr="Code d'installation actuel du terminal (4 chiffres).~"
     "La carte MASTER le remplace par celui de « Paramètres d'installation ».",
  pt="Código de instalação que o terminal tem agora (4 algarismos).~"
     "O cartão MASTER muda-o para o de \"Parâmetros de instalação\".")
M(239, TIP, "tooltip of txtOldSector (current data sector, MASTER card)",
  es="Sector de datos que usa ahora el terminal.~"
     "La tarjeta MASTER se graba en este sector.",
  en="Data sector the terminal uses now.~"
     "The MASTER card is written in this sector.",
  ca="Sector de dades que fa servir ara el terminal.~"
     "La targeta MASTER es grava en aquest sector.",
  fr="Secteur de données utilisé actuellement par le terminal.~"
     "La carte MASTER est écrite dans ce secteur.",
  pt="Setor de dados que o terminal usa agora.~"
     "O cartão MASTER é gravado neste setor.")
M(240, TIP, "tooltip of txtOldKeyMF (current MIFARE key, MASTER card)",
  es="Key MIFARE que usa ahora el terminal: 12 caracteres hexadecimales.~"
     "La tarjeta MASTER se protege con esta key.",
  en="MIFARE key the terminal uses now: 12 hexadecimal characters.~"
     "The MASTER card is protected with this key.",
  ca="Clau MIFARE que fa servir ara el terminal: 12 caràcters hexadecimals.~"
     "La targeta MASTER es protegeix amb aquesta clau.",
  fr="Clé MIFARE utilisée actuellement par le terminal : 12 caractères hexadécimaux.~"
     "La carte MASTER est protégée par cette clé.",
  pt="Chave MIFARE que o terminal usa agora: 12 caracteres hexadecimais.~"
     "O cartão MASTER é protegido com esta chave.")
M(241, TIP, "tooltip of txtCfgTRele (relay time)",
  es="Tiempo de activación del relé (0-999), en la unidad elegida.",
  en="Relay on-time (0-999), in the unit chosen.",
  ca="Temps d'activació del relé (0-999), en la unitat triada.",
  fr="Durée d'activation du relais (0-999), dans l'unité choisie.",
  pt="Tempo de ativação do relé (0-999), na unidade escolhida.")
M(242, TIP, "tooltip of cUnitTime (relay time unit)",
  es="Unidad del tiempo de relé.",
  en="Unit of the relay time.",
  ca="Unitat del temps de relé.",
  fr="Unité du temps de relais.",
  pt="Unidade do tempo de relé.")
M(243, TIP, "tooltip of cTipList (list type)",
  es="Lista blanca: solo pasan los usuarios de la lista.~"
     "Lista negra: pasan todos menos los de la lista.",
  en="White list: only the users on the list get in.~"
     "Black list: everyone gets in except the users on the list.",
  ca="Llista blanca: només passen els usuaris de la llista.~"
     "Llista negra: passen tots menys els de la llista.",
  fr="Liste blanche : seuls les utilisateurs de la liste entrent.~"
     "Liste noire : tout le monde entre sauf les utilisateurs de la liste.",
  pt="Lista branca: só entram os utilizadores da lista.~"
     "Lista negra: entram todos exceto os da lista.")
M(244, TIP, "tooltip of chkEspResList",
  es="Al leer la tarjeta CONFIG, el terminal borra todos los usuarios de su lista.",
  en="When it reads the CONFIG card, the terminal deletes all users from its list.",
  ca="En llegir la targeta CONFIG, el terminal esborra tots els usuaris de la seva llista.",
  fr="À la lecture de la carte CONFIG, le terminal efface tous les utilisateurs de sa liste.",
  pt="Ao ler o cartão CONFIG, o terminal apaga todos os utilizadores da sua lista.")
M(245, TIP, "tooltip of chkEspNodoTar",
  es="El número de nodo se introduce en el terminal con las tarjetas NUM. 0 a NUM. 9,~"
     "en lugar de tomarlo de la tarjeta CONFIG.",
  en="The node number is entered at the terminal with the cards NUM. 0 to NUM. 9~"
     "instead of being taken from the CONFIG card.",
  ca="El número de node s'introdueix al terminal amb les targetes NUM. 0 a NUM. 9,~"
     "en lloc de prendre'l de la targeta CONFIG.",
  fr="Le numéro de nœud est saisi sur le terminal avec les cartes NUM. 0 à NUM. 9~"
     "au lieu d'être pris sur la carte CONFIG.",
  pt="O número de nó é introduzido no terminal com os cartões NUM. 0 a NUM. 9,~"
     "em vez de ser lido do cartão CONFIG.")
M(246, TIP, "tooltip of txtCfgNode (node number)",
  es="Número de nodo del terminal (0-255).",
  en="Node number of the terminal (0-255).",
  ca="Número de node del terminal (0-255).",
  fr="Numéro de nœud du terminal (0-255).",
  pt="Número de nó do terminal (0-255).")
M(247, TIP, "tooltip of chkCfgRelExt",
  es="El terminal activa un relé externo enviando la trama indicada.",
  en="The terminal drives an external relay by sending the frame given.",
  ca="El terminal activa un relé extern enviant la trama indicada.",
  fr="Le terminal commande un relais externe en envoyant la trame indiquée.",
  pt="O terminal aciona um relé externo enviando a trama indicada.")
M(248, TIP, "tooltip of txtTramaRelExt (external relay frame)",
  es="Trama para el relé externo (hasta 32 bytes).~"
     "Escriba &H y dos cifras hexadecimales para un byte de control, p. ej. &H02 ... &H03.",
  en="Frame for the external relay (up to 32 bytes).~"
     "Type &H and two hexadecimal digits for a control byte, e.g. &H02 ... &H03.",
  ca="Trama per al relé extern (fins a 32 bytes).~"
     "Escriviu &H i dues xifres hexadecimals per a un byte de control, p. ex. &H02 ... &H03.",
  fr="Trame pour le relais externe (32 octets au plus).~"
     "Tapez &H et deux chiffres hexadécimaux pour un octet de contrôle, p. ex. &H02 ... &H03.",
  pt="Trama para o relé externo (até 32 bytes).~"
     "Escreva &H e dois algarismos hexadecimais para um byte de controlo, p. ex. &H02 ... &H03.")
M(249, TIP, "tooltip of txtVendDec (decrement)",
  es="Importe que se descuenta del saldo en cada uso (0-9999).",
  en="Amount taken off the balance at each use (0-9999).",
  ca="Import que es descompta del saldo a cada ús (0-9999).",
  fr="Montant déduit du solde à chaque utilisation (0-9999).",
  pt="Valor descontado do saldo em cada utilização (0-9999).")
M(250, TIP, "tooltip of txtUser (user number)",
  es="Número del primer usuario (000-999). Aumenta en 1 con cada tarjeta creada.",
  en="Number of the first user (000-999). Goes up by 1 with each card made.",
  ca="Número del primer usuari (000-999). Augmenta en 1 amb cada targeta creada.",
  fr="Numéro du premier utilisateur (000-999). Augmente de 1 à chaque carte créée.",
  pt="Número do primeiro utilizador (000-999). Aumenta 1 em cada cartão criado.")
M(251, TIP, "tooltip of listNoPermit (nodes not permitted)",
  es="Nodos en los que el usuario no podrá entrar.~"
     "Seleccione uno y pulse >> para autorizarlo.",
  en="Nodes where the user may not enter.~"
     "Select one and press >> to permit it.",
  ca="Nodes on l'usuari no podrà entrar.~"
     "Seleccioneu-ne un i premeu >> per autoritzar-lo.",
  fr="Nœuds où l'utilisateur ne pourra pas entrer.~"
     "Sélectionnez-en un et appuyez sur >> pour l'autoriser.",
  pt="Nós onde o utilizador não poderá entrar.~"
     "Selecione um e prima >> para o autorizar.")
M(252, TIP, "tooltip of listPermit (permitted nodes)",
  es="Nodos en los que el usuario podrá entrar;~"
     "se graban en la tarjeta USUARIO AVANZADO.",
  en="Nodes where the user may enter;~"
     "they are written to the USUARIO AVANZADO card.",
  ca="Nodes on l'usuari podrà entrar;~"
     "es graven a la targeta USUARIO AVANZADO.",
  fr="Nœuds où l'utilisateur pourra entrer ;~"
     "ils sont écrits sur la carte USUARIO AVANZADO.",
  pt="Nós onde o utilizador poderá entrar;~"
     "são gravados no cartão USUARIO AVANZADO.")
M(253, TIP, "tooltip of txtSalVal (initial balance)",
  es="Saldo inicial de la tarjeta USUARIO CON SALDO (número entero).",
  en="Initial balance of the USUARIO CON SALDO card (whole number).",
  ca="Saldo inicial de la targeta USUARIO CON SALDO (nombre enter).",
  fr="Solde initial de la carte USUARIO CON SALDO (nombre entier).",
  pt="Saldo inicial do cartão USUARIO CON SALDO (número inteiro).")
M(254, TIP, "tooltip of txtNumTar (number of user cards)",
  es="Cuántas tarjetas de usuario se crean seguidas (1-999);~"
     "el identificador aumenta en 1 con cada una.",
  en="How many user cards to make in a row (1-999);~"
     "the user ID goes up by 1 with each one.",
  ca="Quantes targetes d'usuari es creen seguides (1-999);~"
     "l'identificador augmenta en 1 amb cada una.",
  fr="Nombre de cartes utilisateur à créer à la suite (1-999) ;~"
     "l'identifiant augmente de 1 à chaque carte.",
  pt="Quantos cartões de utilizador criar seguidos (1-999);~"
     "o identificador aumenta 1 em cada um.")


def test_key_tip(k, es, en, ca, fr, pt):
    return dict(es=f"Key de prueba {k}: copia de {es}.",
                en=f"Test key {k}: copy of {en}.",
                ca=f"Clau de prova {k}: còpia de {ca}.",
                fr=f"Clé de test {k} : copie de {fr}.",
                pt=f"Chave de teste {k}: cópia de {pt}.")


M(255, TIP, "tooltip of txtUsaKey(0) (test key 1, copy of the installation key)",
  **test_key_tip(1,
                 es="la Key MIFARE de «Parámetros de instalación»",
                 en="the MIFARE key in \"Installation parameters\"",
                 ca="la clau MIFARE de «Paràmetres d'instal·lació»",
                 fr="la clé MIFARE de « Paramètres d'installation »",
                 pt="a chave MIFARE de \"Parâmetros de instalação\""))
M(256, TIP, "tooltip of txtUsaKey(1) (test key 2, copy of the current key)",
  **test_key_tip(2,
                 es="la Key MIFARE de «Parámetros actuales» (pestaña Configuración)",
                 en="the MIFARE key in \"Current parameters\" (Configuration tab)",
                 ca="la clau MIFARE de «Paràmetres actuals» (pestanya Configuració)",
                 fr="la clé MIFARE de « Paramètres actuels » (onglet Configuration)",
                 pt="a chave MIFARE de \"Parâmetros atuais\" (separador Configuração)"))
M(257, TIP, "tooltip of txtUsaKey(2) (test key 3, copy of INI_KEY A)",
  **test_key_tip(3, es="INI_KEY A", en="INI_KEY A", ca="INI_KEY A",
                 fr="INI_KEY A", pt="INI_KEY A"))
for _b in range(3):
    M(258 + _b, TIP, f"tooltip of txtInfoRead({_b}) (block {_b} read)",
      es=f"Bloque {_b} del sector de datos leído (hexadecimal).",
      en=f"Block {_b} of the data sector read (hexadecimal).",
      ca=f"Bloc {_b} del sector de dades llegit (hexadecimal).",
      fr=f"Bloc {_b} du secteur de données lu (hexadécimal).",
      pt=f"Bloco {_b} do setor de dados lido (hexadecimal).")
M(273, TIP, "tooltip of txtTScan (scan frequency)",
  es="Frecuencia de scan del terminal (0-99).",
  en="Scan frequency of the terminal (0-99).",
  ca="Freqüència d'escaneig del terminal (0-99).",
  fr="Fréquence de scan du terminal (0-99).",
  pt="Frequência de scan do terminal (0-99).")

# ---------------------------------------------------------------------------
# Messages of this program beyond the original numbering, 280..287
# ---------------------------------------------------------------------------
M(280, LOG, "runs: reader did not confirm Halt within 2 s; the run goes on "
  "(the card is already written / read)",
  es="El lector no ha confirmado Halt en 2 s. La tarjeta ya está procesada; se continúa.",
  en="The reader did not confirm Halt within 2 s. The card is already done; carrying on.",
  ca="El lector no ha confirmat Halt en 2 s. La targeta ja està processada; es continua.",
  fr="Le lecteur n'a pas confirmé Halt en 2 s. La carte est déjà traitée ; on continue.",
  pt="O leitor não confirmou Halt em 2 s. O cartão já está processado; continua-se.")
M(281, LOG, "encoding run: initial balance outside -2147483648 .. 2147483647 "
  "(the card is not written)",
  es="Saldo inicial fuera de rango (-2147483648 .. 2147483647): la tarjeta no se ha grabado.",
  en="Initial balance out of range (-2147483648 .. 2147483647): the card was not written.",
  ca="Saldo inicial fora de rang (-2147483648 .. 2147483647): la targeta no s'ha gravat.",
  fr="Solde initial hors limites (-2147483648 .. 2147483647) : la carte n'a pas été écrite.",
  pt="Saldo inicial fora do intervalo (-2147483648 .. 2147483647): o cartão não foi gravado.")
M(282, LOG, "runs: data sector outside 0..63 (nothing sent to the card)",
  es="Sector de datos fuera de rango (0..63): no se ha enviado nada a la tarjeta.",
  en="Data sector out of range (0..63): nothing was sent to the card.",
  ca="Sector de dades fora de rang (0..63): no s'ha enviat res a la targeta.",
  fr="Secteur de données hors limites (0..63) : rien n'a été envoyé à la carte.",
  pt="Setor de dados fora do intervalo (0..63): nada foi enviado ao cartão.")
M(283, LOG, "link: connection to the reader lost (serial device gone or TCP closed "
  "by the reader)",
  es="Conexión con el lector perdida. Cierre el puerto y vuelva a abrirlo.",
  en="Connection to the reader lost. Close the port and open it again.",
  ca="S'ha perdut la connexió amb el lector. Tanqueu el port i torneu-lo a obrir.",
  fr="Connexion au lecteur perdue. Fermez le port et rouvrez-le.",
  pt="Ligação ao leitor perdida. Feche a porta e volte a abri-la.")
M(284, SHOW, "the word \"Device\", added to the port-number tooltip as "
  "\"~Device: /dev/ttyS0\"",
  es="Dispositivo", en="Device", ca="Dispositiu", fr="Périphérique", pt="Dispositivo")

# Numbers the encoding run needs as 16-bit integers, 290..291
M(290, LOG, "encoding run: number of cards (txtNumTar) outside -32768 .. 32767 "
  "(the card is not written)",
  es="Número de tarjetas fuera de rango (-32768 .. 32767): la tarjeta no se ha grabado.",
  en="Number of cards out of range (-32768 .. 32767): the card was not written.",
  ca="Nombre de targetes fora de rang (-32768 .. 32767): la targeta no s'ha gravat.",
  fr="Nombre de cartes hors limites (-32768 .. 32767) : la carte n'a pas été écrite.",
  pt="Número de cartões fora do intervalo (-32768 .. 32767): o cartão não foi gravado.")
M(291, LOG, "encoding run: user number (txtUser) outside -32768 .. 32767 "
  "(the card is not written)",
  es="Número de usuario fuera de rango (-32768 .. 32767): la tarjeta no se ha grabado.",
  en="User number out of range (-32768 .. 32767): the card was not written.",
  ca="Número d'usuari fora de rang (-32768 .. 32767): la targeta no s'ha gravat.",
  fr="Numéro d'utilisateur hors limites (-32768 .. 32767) : la carte n'a pas été écrite.",
  pt="Número de utilizador fora do intervalo (-32768 .. 32767): o cartão não foi gravado.")


# ---------------------------------------------------------------------------
# The card record and its window, 360..389
# ---------------------------------------------------------------------------
M(360, BUTTON, "button cmdRecord beside cBorrar: opens the card record window",
  es="Registro de tarjetas", en="Card record", ca="Registre de targetes",
  fr="Registre des cartes", pt="Registo de cartões")
M(361, TIP, "tooltip of cmdRecord",
  es="Muestra las tarjetas grabadas y leídas desde que se abrió el programa.~"
     "Desde allí se guardan como CSV, y el registro de actividad como texto.",
  en="Shows the cards written and read since the program was started.~"
     "From there they can be saved as CSV, and the activity log as text.",
  ca="Mostra les targetes gravades i llegides des que es va obrir el programa.~"
     "Des d'allà es desen en CSV, i el registre d'activitat com a text.",
  fr="Affiche les cartes écrites et lues depuis le démarrage du programme.~"
     "De là, elles s'enregistrent en CSV, et le journal d'activité en texte.",
  pt="Mostra os cartões gravados e lidos desde que o programa foi aberto.~"
     "A partir daí guardam-se em CSV, e o registo de atividade como texto.")
M(362, TITLE, "title of the card record window frmRecord",
  es="Registro de tarjetas - desde el inicio del programa",
  en="Card record - since the program was started",
  ca="Registre de targetes - des de l'inici del programa",
  fr="Registre des cartes - depuis le démarrage du programme",
  pt="Registo de cartões - desde o início do programa")
M(363, BUTTON, "button cmdRecordCsv: save the card record as CSV",
  es="Guardar CSV...", en="Save as CSV...", ca="Desa en CSV...",
  fr="Enregistrer en CSV...", pt="Guardar em CSV...")
M(364, BUTTON, "button cmdLogSave: save the activity log as text",
  es="Guardar actividad...", en="Save activity log...", ca="Desa l'activitat...",
  fr="Enregistrer le journal...", pt="Guardar atividade...")
for _n, _what, _es, _en, _ca, _fr, _pt in [
        (365, "local date and time", "Fecha y hora", "Date and time", "Data i hora",
         "Date et heure", "Data e hora"),
        (366, "UID", "UID", "UID", "UID", "UID", "UID"),
        (367, "card type", "Tipo de tarjeta", "Card type", "Tipus de targeta",
         "Type de carte", "Tipo de cartão"),
        (368, "user number", "Usuario", "User", "Usuari", "Utilisateur", "Utilizador"),
        (369, "installation code", "Cód. instalación", "Installation code",
         "Codi instal·lació", "Code d'installation", "Cód. instalação"),
        (370, "data sector", "Sector", "Sector", "Sector", "Secteur", "Setor"),
        (371, "outcome", "Resultado", "Outcome", "Resultat", "Résultat", "Resultado"),
        (372, "the log line that said why a card failed", "Motivo", "Reason", "Motiu",
         "Motif", "Motivo"),
        (373, "repeated UID mark", "Repetición", "Repeat", "Repetició", "Répétition",
         "Repetição")]:
    M(_n, LABEL, f"card record column heading (window and CSV header): {_what}",
      es=_es, en=_en, ca=_ca, fr=_fr, pt=_pt)
M(374, SHOW, "card record outcome: the card was written",
  es="Grabada", en="Written", ca="Gravada", fr="Écrite", pt="Gravado")
M(375, SHOW, "card record outcome: the card failed",
  es="Fallida", en="Failed", ca="Fallida", fr="Échec", pt="Falhou")
M(376, SHOW, "card record outcome of a read card; the program appends a blank and the key "
  "number 1..3",
  es="Leída con la key", en="Read with key", ca="Llegida amb la clau",
  fr="Lue avec la clé", pt="Lido com a chave")
M(377, SHOW, "card record mark of a UID written more than once",
  es="UID repetido", en="Repeated UID", ca="UID repetit", fr="UID répété", pt="UID repetido")
M(378, SHOW, "card record counts: written cards; the program appends a blank and the count",
  es="grabadas", en="written", ca="gravades", fr="écrites", pt="gravados")
M(379, SHOW, "card record counts: failed cards; the program appends a blank and the count",
  es="fallidas", en="failed", ca="fallides", fr="échecs", pt="falhados")
M(380, SHOW, "card record counts: read cards; the program appends a blank and the count",
  es="leídas", en="read", ca="llegides", fr="lues", pt="lidos")
M(381, SHOW, "card record counts: all rows; the program appends \": \" and the count",
  es="Tarjetas", en="Cards", ca="Targetes", fr="Cartes", pt="Cartões")
M(382, SHOW, "card record counts: UIDs written more than once; the program appends \": \" "
  "and the count",
  es="UID grabados más de una vez", en="UIDs written more than once",
  ca="UID gravats més d'una vegada", fr="UID écrits plus d'une fois",
  pt="UID gravados mais de uma vez")
M(383, TITLE, "title of the save dialog of cmdRecordCsv",
  es="Guardar el registro de tarjetas", en="Save the card record",
  ca="Desa el registre de targetes", fr="Enregistrer le registre des cartes",
  pt="Guardar o registo de cartões")
M(384, TITLE, "title of the save dialog of cmdLogSave",
  es="Guardar el registro de actividad", en="Save the activity log",
  ca="Desa el registre d'activitat", fr="Enregistrer le journal d'activité",
  pt="Guardar o registo de atividade")
M(385, SHOW, "file type of the CSV save dialog, with its pattern in brackets",
  es="Archivos CSV (*.csv)", en="CSV files (*.csv)", ca="Fitxers CSV (*.csv)",
  fr="Fichiers CSV (*.csv)", pt="Ficheiros CSV (*.csv)")
M(386, SHOW, "file type of the activity log save dialog, with its pattern in brackets",
  es="Archivos de texto (*.txt)", en="Text files (*.txt)", ca="Fitxers de text (*.txt)",
  fr="Fichiers texte (*.txt)", pt="Ficheiros de texto (*.txt)")
M(387, SHOW, "file name offered for the CSV; the program appends the date and \".csv\"",
  es="registro-tarjetas", en="card-record", ca="registre-targetes",
  fr="registre-cartes", pt="registo-cartoes")
M(388, SHOW, "file name offered for the activity log; the program appends the date and \".txt\"",
  es="registro-actividad", en="activity-log", ca="registre-activitat",
  fr="journal-activite", pt="registo-atividade")
M(389, BOX, "message box: a file could not be saved; the program appends a line break and "
  "the path",
  es="No se ha podido guardar el archivo. Compruebe que la carpeta existe, que se puede "
     "escribir en ella y que el disco no está lleno.",
  en="The file could not be saved. Check that the folder exists, that it can be written to "
     "and that the disk is not full.",
  ca="No s'ha pogut desar el fitxer. Comproveu que la carpeta existeix, que s'hi pot "
     "escriure i que el disc no és ple.",
  fr="Le fichier n'a pas pu être enregistré. Vérifiez que le dossier existe, qu'il est "
     "accessible en écriture et que le disque n'est pas plein.",
  pt="Não foi possível guardar o ficheiro. Verifique se a pasta existe, se é possível "
     "escrever nela e se o disco não está cheio.")


M(450, TIP, "tooltip of chkVerify",
  es="Tras grabar cada tarjeta la vuelve a leer con su key nueva y la compara~"
     "con lo grabado; si algo difiere, la tarjeta cuenta como fallida.",
  en="After writing each card, reads it back with its new key and compares it~"
     "with what was written; if anything differs, the card counts as failed.",
  ca="Després de gravar cada targeta la torna a llegir amb la seva clau nova i la~"
     "compara amb el que s'ha gravat; si alguna cosa difereix, la targeta compta com a fallida.",
  fr="Après l'écriture de chaque carte, la relit avec sa nouvelle clé et la compare~"
     "à ce qui a été écrit ; si quelque chose diffère, la carte compte comme un échec.",
  pt="Depois de gravar cada cartão, volta a lê-lo com a sua chave nova e compara-o~"
     "com o gravado; se algo for diferente, o cartão conta como falhado.")
M(451, TIP, "tooltip of cmdRecordCsv",
  es="Guarda las filas del registro en un archivo CSV para la hoja de cálculo.~"
     "El archivo no contiene ninguna key.",
  en="Saves the rows of the record in a CSV file for a spreadsheet.~"
     "The file holds no key.",
  ca="Desa les files del registre en un fitxer CSV per al full de càlcul.~"
     "El fitxer no conté cap clau.",
  fr="Enregistre les lignes du registre dans un fichier CSV pour un tableur.~"
     "Le fichier ne contient aucune clé.",
  pt="Guarda as linhas do registo num ficheiro CSV para a folha de cálculo.~"
     "O ficheiro não contém nenhuma chave.")
M(452, TIP, "tooltip of cmdLogSave and cmdSaveLog",
  es="Guarda el registro de actividad como texto, con la hora de cada línea.~"
     "Cada key aparece en el archivo como [KEY].",
  en="Saves the activity log as text, with the time of each line.~"
     "Every key shows in the file as [KEY].",
  ca="Desa el registre d'activitat com a text, amb l'hora de cada línia.~"
     "Cada clau apareix al fitxer com a [KEY].",
  fr="Enregistre le journal d'activité en texte, avec l'heure de chaque ligne.~"
     "Chaque clé apparaît dans le fichier sous la forme [KEY].",
  pt="Guarda o registo de atividade como texto, com a hora de cada linha.~"
     "Cada chave aparece no ficheiro como [KEY].")
M(453, SHOW, "card record outcome: the run ended (Stop, lost link) or the card failed after "
  "its first block was written",
  es="Interrumpida: puede estar a medio grabar", en="Interrupted: may be half written",
  ca="Interrompuda: pot estar a mig gravar", fr="Interrompue : peut être à moitié écrite",
  pt="Interrompido: pode estar meio gravado")
M(454, SHOW, "card record mark of a user number written more than once",
  es="Usuario repetido", en="Repeated user", ca="Usuari repetit", fr="Utilisateur répété",
  pt="Utilizador repetido")
M(455, SHOW, "card record counts: user numbers written more than once; the program appends "
  "\": \" and the count",
  es="Usuarios grabados más de una vez", en="User numbers written more than once",
  ca="Usuaris gravats més d'una vegada", fr="Utilisateurs écrits plus d'une fois",
  pt="Utilizadores gravados mais de uma vez")
M(456, LABEL, "card record column heading (window and CSV header): what the card holds, in words",
  es="Contenido", en="Contents", ca="Contingut", fr="Contenu", pt="Conteúdo")
M(457, BOX, "question on closing the window while the card record has rows not saved as CSV",
  es="El registro tiene tarjetas que no se han guardado. ¿Guardarlo antes de cerrar?",
  en="The card record holds cards that have not been saved. Save it before closing?",
  ca="El registre té targetes que no s'han desat. Voleu desar-lo abans de tancar?",
  fr="Le registre contient des cartes non enregistrées. L'enregistrer avant de fermer ?",
  pt="O registo tem cartões que não foram guardados. Guardá-lo antes de fechar?")
M(458, BUTTON, "button of the closing question: save the record as CSV, then close",
  es="Guardar...", en="Save...", ca="Desa...", fr="Enregistrer...", pt="Guardar...")
M(459, BUTTON, "button of the closing question: close without saving",
  es="Cerrar sin guardar", en="Close without saving", ca="Tanca sense desar",
  fr="Fermer sans enregistrer", pt="Fechar sem guardar")
M(460, BUTTON, "button of the closing question: do not close",
  es="No cerrar", en="Do not close", ca="No tanquis", fr="Ne pas fermer", pt="Não fechar")
M(461, SHOW, "language code (ISO 639-1) for the file dialogs' own texts",
  es="es", en="en", ca="ca", fr="fr", pt="pt")
M(462, SHOW, "list separator of the CSV file: \";\" where the decimal comma is used",
  es=";", en=",", ca=";", fr=";", pt=";")
M(463, BUTTON, "button cmdSaveLog beside cBorrar: save the activity log as text",
  es="Guardar actividad...", en="Save activity log...", ca="Desa l'activitat...",
  fr="Enregistrer le journal...", pt="Guardar atividade...")

# ---------------------------------------------------------------------------
# Verified cards 400..411: chkVerify and the check after the trailer write.
# The program appends the values named in the roles.
# ---------------------------------------------------------------------------
M(400, CHECK, "check box chkVerify: every card of an encoding run is read back and compared",
  es="Verificar cada tarjeta tras grabarla",
  en="Verify every card after writing it",
  ca="Verificar cada targeta després de gravar-la",
  fr="Vérifier chaque carte après l'écriture",
  pt="Verificar cada cartão depois de gravado")
M(401, LOG, "encoding run start, check ticked: the trailer key goes into a key slot of its own; "
  "the program appends \" \" and the slot number",
  es="Verificación: key de las tarjetas grabadas a la posición de key del lector",
  en="Verify: key of the written cards into reader key slot",
  ca="Verificació: clau de les targetes gravades a la posició de clau del lector",
  fr="Vérification : clé des cartes écrites dans l'emplacement de clé du lecteur",
  pt="Verificação: chave dos cartões gravados na posição de chave do leitor")
M(402, LOG, "check ticked: the reader did not store the trailer key (box 191 follows, run ends)",
  es="El lector no ha guardado la key para la verificación.",
  en="The reader did not store the key for the check.",
  ca="El lector no ha desat la clau per a la verificació.",
  fr="Le lecteur n'a pas enregistré la clé pour la vérification.",
  pt="O leitor não guardou a chave para a verificação.")
M(403, LOG, "check: login to the data sector again with the new key; "
  "the program appends \" \" and the slot number",
  es="Verificación: nuevo login con la key nueva de la tarjeta, posición",
  en="Verify: log in again with the card's new key, slot",
  ca="Verificació: nou login amb la clau nova de la targeta, posició",
  fr="Vérification : nouveau login avec la nouvelle clé de la carte, emplacement",
  pt="Verificação: novo login com a chave nova do cartão, posição")
M(404, LOG, "check: one block read back; the program appends \" \" and the block number (hex)",
  es="Verificación: lectura del bloque",
  en="Verify: reading back block",
  ca="Verificació: lectura del bloc",
  fr="Vérification : relecture du bloc",
  pt="Verificação: leitura do bloco")
M(405, LOG, "check: every block reads back as written",
  es="Tarjeta verificada: todos los bloques se leen tal como se grabaron.",
  en="Card verified: every block reads back as written.",
  ca="Targeta verificada: tots els blocs es llegeixen tal com es van gravar.",
  fr="Carte vérifiée : tous les blocs se relisent tels qu'ils ont été écrits.",
  pt="Cartão verificado: todos os blocos são lidos tal como foram gravados.")
M(406, LOG, "check: login with the new key refused or unanswered (card failure follows)",
  es="Verificación fallida: la tarjeta no se abre con su key nueva.",
  en="Verification failed: the card does not open with its new key.",
  ca="Verificació fallida: la targeta no s'obre amb la seva clau nova.",
  fr="Échec de la vérification : la carte ne s'ouvre pas avec sa nouvelle clé.",
  pt="Verificação falhada: o cartão não abre com a sua chave nova.")
M(407, LOG, "check: a block read back unanswered (card failure follows); "
  "the program appends \" \" and the block number (hex)",
  es="Verificación fallida: sin respuesta a la lectura del bloque",
  en="Verification failed: no answer reading back block",
  ca="Verificació fallida: sense resposta a la lectura del bloc",
  fr="Échec de la vérification : pas de réponse à la relecture du bloc",
  pt="Verificação falhada: sem resposta à leitura do bloco")
M(408, LOG, "check: a block reads back other than written (card failure follows); the program "
  "appends \" \", the block number (hex) and \" (\", message 409, \": \", the byte positions, \")\"",
  es="Verificación fallida: contenido distinto en el bloque",
  en="Verification failed: different content in block",
  ca="Verificació fallida: contingut diferent al bloc",
  fr="Échec de la vérification : contenu différent dans le bloc",
  pt="Verificação falhada: conteúdo diferente no bloco")
M(409, LOG, "check: words before the positions (0-15) of the bytes that differ, inside message 408's line",
  es="posiciones de los bytes distintos, de 0 a 15", en="positions of the bytes that differ, 0 to 15",
  ca="posicions dels bytes diferents, de 0 a 15", fr="positions des octets différents, de 0 à 15",
  pt="posições dos bytes diferentes, de 0 a 15")
M(410, LOG, "check: what the block should read; the program appends \": \" and 32 hex characters "
  "(for a sector trailer key A reads as zeros)",
  es="Esperado", en="Expected", ca="Esperat", fr="Attendu", pt="Esperado")
M(411, LOG, "check: what the block reads; the program appends \": \" and 32 hex characters",
  es="Leído", en="Read", ca="Llegit", fr="Lu", pt="Lido")

# ---------------------------------------------------------------------------
# Fields looked at before a run starts 420..440: the question box, the reasons
# a field is not well formed, what the card would get, the mark's tooltip line.
# ---------------------------------------------------------------------------
M(420, BOX, "title of the question box: fields that would not be used as shown",
  es="Revise los campos", en="Check the fields", ca="Reviseu els camps",
  fr="Vérifiez les champs", pt="Verifique os campos")
M(421, BOX, "question box: first line, one paragraph per field follows",
  es="Estos campos no se usarían tal como se ven.",
  en="These fields would not be used as they are shown.",
  ca="Aquests camps no s'utilitzarien tal com es veuen.",
  fr="Ces champs ne seraient pas utilisés tels qu'ils sont affichés.",
  pt="Estes campos não seriam usados tal como se veem.")
M(422, BUTTON, "question box: the run starts as the fields stand",
  es="Empezar de todos modos", en="Start anyway", ca="Començar igualment",
  fr="Démarrer quand même", pt="Iniciar mesmo assim")
M(423, BUTTON, "question box: back to the window, nothing is sent",
  es="Volver a la ventana", en="Back to the window", ca="Tornar a la finestra",
  fr="Revenir à la fenêtre", pt="Voltar à janela")
M(424, BOX, "question box: the program appends \": \" and what the card or the run would get",
  es="Lo que daría", en="What it would give", ca="El que donaria",
  fr="Ce que cela donnerait", pt="O que daria")
M(425, BOX, "a key field is not 12 upper-case hex characters (also in the field's tooltip)",
  es="se necesitan 12 caracteres hexadecimales: 0-9 y A-F en mayúsculas",
  en="12 hexadecimal characters are needed: 0-9 and capital A-F",
  ca="calen 12 caràcters hexadecimals: 0-9 i A-F en majúscules",
  fr="12 caractères hexadécimaux sont nécessaires : 0-9 et A-F en majuscules",
  pt="são precisos 12 caracteres hexadecimais: 0-9 e A-F em maiúsculas")
M(426, BOX, "a numeric field is not a whole number in range; the program appends \" (low-high)\"",
  es="se necesita un número entero", en="a whole number is needed", ca="cal un nombre enter",
  fr="un nombre entier est nécessaire", pt="é preciso um número inteiro")
M(427, BOX, "an installation code is not 4 digits",
  es="se necesitan 4 cifras (0000-9999)", en="4 digits are needed (0000-9999)",
  ca="calen 4 xifres (0000-9999)", fr="4 chiffres sont nécessaires (0000-9999)",
  pt="são precisos 4 algarismos (0000-9999)")
M(428, BOX, "relay frame: an &H not followed by two hex digits",
  es="cada &H necesita dos cifras hexadecimales detrás (H mayúscula)",
  en="each &H needs two hexadecimal digits after it (capital H)",
  ca="cada &H necessita dues xifres hexadecimals darrere (H majúscula)",
  fr="chaque &H doit être suivi de deux chiffres hexadécimaux (H majuscule)",
  pt="cada &H precisa de dois algarismos hexadecimais a seguir (H maiúsculo)")
M(429, BOX, "relay frame: more than 32 bytes after conversion",
  es="más de 32 bytes: el resto se cortaría", en="more than 32 bytes: the rest would be cut off",
  ca="més de 32 bytes: la resta es tallaria", fr="plus de 32 octets : le reste serait coupé",
  pt="mais de 32 bytes: o resto seria cortado")
M(430, BOX, "relay frame: empty while the external relay is ticked",
  es="vacía, con el relé externo marcado", en="empty, with the external relay ticked",
  ca="buida, amb el relé extern marcat", fr="vide, avec le relais externe coché",
  pt="vazia, com o relé externo assinalado")
M(431, BOX, "user number: a card with it was already written since start-up",
  es="ya grabado en esta sesión", en="already written in this session",
  ca="ja gravat en aquesta sessió", fr="déjà écrit pendant cette session",
  pt="já gravado nesta sessão")
M(432, BOX, "number of cards: the batch runs past user 999",
  es="después de 999 los números de usuario vuelven a empezar en 000",
  en="past 999 the user numbers start again at 000",
  ca="després de 999 els números d'usuari tornen a començar a 000",
  fr="après 999 les numéros d'utilisateur recommencent à 000",
  pt="depois de 999 os números de utilizador recomeçam em 000")
M(433, BOX, "what the card would get: the encoding run refuses the fields when a card is laid",
  es="nada: la codificación se detiene al poner la tarjeta en el lector",
  en="nothing: the run stops when the card is laid on the reader",
  ca="res: la codificació s'atura en posar la targeta al lector",
  fr="rien : l'encodage s'arrête quand la carte est posée sur le lecteur",
  pt="nada: a codificação para quando o cartão é colocado no leitor")
M(434, BOX, "what the read run would do with a key that is not valid",
  es="nada: la lectura se detiene antes de leer ninguna tarjeta",
  en="nothing: the reading stops before any card",
  ca="res: la lectura s'atura abans de llegir cap targeta",
  fr="rien : la lecture s'arrête avant toute carte",
  pt="nada: a leitura para antes de ler qualquer cartão")
M(435, BOX, "what the read run would do with a sector outside 0-63",
  es="nada: no se lee ninguna tarjeta con este sector (solo 0-63)",
  en="nothing: no card is read with this sector (0-63 only)",
  ca="res: no es llegeix cap targeta amb aquest sector (només 0-63)",
  fr="rien : aucune carte n'est lue avec ce secteur (0-63 seulement)",
  pt="nada: nenhum cartão é lido com este setor (só 0-63)")
M(436, BOX, "what the card would get: no data block (MASTER with a code that is not 4 characters)",
  es="ningún bloque de datos, solo la key", en="no data block, only the key",
  ca="cap bloc de dades, només la clau", fr="aucun bloc de données, seulement la clé",
  pt="nenhum bloco de dados, só a chave")
M(437, BOX, "number of user cards the run would make; the program appends \": \" and the number",
  es="tarjetas creadas", en="cards made", ca="targetes creades", fr="cartes créées",
  pt="cartões criados")
M(438, TIP, "added on a line of its own to the tooltip of a field that is not well formed; "
  "the program appends \" \" and the reason (425-430)",
  es="No válido tal como está:", en="Not valid as typed:", ca="No vàlid tal com està:",
  fr="Non valable tel quel :", pt="Não válido tal como está:")
M(439, BOX, "name of the field txtTramaRelExt in the question box",
  es="Trama del relé externo", en="External relay frame", ca="Trama del relé extern",
  fr="Trame du relais externe", pt="Trama do relé externo")
M(440, BOX, "relay frame: the program puts the number of bytes in front",
  es="bytes", en="bytes", ca="bytes", fr="octets", pt="bytes")

# ---------------------------------------------------------------------------
# Card details on the read tab 300..341 (txtInfoDetail): one line per field,
# most of them "<text>: <value>" with the value appended by the program.
# ---------------------------------------------------------------------------
def D(num, role, es, en, ca, fr, pt):
    M(num, SHOW, "card details: " + role, es=es, en=en, ca=ca, fr=fr, pt=pt)


D(300, "blank card (every byte of the three blocks 00)",
  es="Tarjeta en blanco: todos los bytes de los tres bloques son 00.",
  en="Blank card: every byte of the three blocks is 00.",
  ca="Targeta en blanc: tots els bytes dels tres blocs són 00.",
  fr="Carte vierge : tous les octets des trois blocs valent 00.",
  pt="Cartão em branco: todos os bytes dos três blocos são 00.")
D(301, "factory card (every byte of the three blocks FF)",
  es="Tarjeta de fábrica: todos los bytes de los tres bloques son FF.",
  en="Factory card: every byte of the three blocks is FF.",
  ca="Targeta de fàbrica: tots els bytes dels tres blocs són FF.",
  fr="Carte d'usine : tous les octets des trois blocs valent FF.",
  pt="Cartão de fábrica: todos os bytes dos três blocos são FF.")
D(302, "the blocks are not laid out as a card of this system",
  es="No es una tarjeta de este sistema.",
  en="Not a card of this system.",
  ca="No és una targeta d'aquest sistema.",
  fr="Ce n'est pas une carte de ce système.",
  pt="Não é um cartão deste sistema.")
D(303, "card type; the program appends \": \" and the type",
  es="Tipo de tarjeta", en="Card type", ca="Tipus de targeta", fr="Type de carte", pt="Tipo de cartão")
D(304, "user number of a user card; the program appends \": \" and the number",
  es="Número de usuario", en="User number", ca="Número d'usuari", fr="Numéro d'utilisateur",
  pt="Número de utilizador")
D(305, "value field of the other cards; the program appends \": \" and the field",
  es="Campo de valor", en="Value field", ca="Camp de valor", fr="Champ de valeur", pt="Campo de valor")
D(306, "check digit; the program appends \": \", the digit and whether it is right",
  es="Dígito de control", en="Check digit", ca="Dígit de control", fr="Chiffre de contrôle",
  pt="Dígito de controlo")
D(307, "a check digit or sum that is right (shown in brackets)",
  es="correcto", en="right", ca="correcte", fr="correct", pt="correto")
D(308, "a check digit or sum that is wrong; the program appends a blank and the right one",
  es="incorrecto, debería ser", en="wrong, should be", ca="incorrecte, hauria de ser",
  fr="incorrect, devrait être", pt="incorreto, deveria ser")
D(309, "permitted nodes; the program appends the count in brackets, \": \" and the nodes",
  es="Nodos autorizados", en="Permitted nodes", ca="Nodes autoritzats", fr="Nœuds autorisés",
  pt="Nós autorizados")
D(310, "no permitted node, no relay frame",
  es="ninguno", en="none", ca="cap", fr="aucun", pt="nenhum")
D(311, "balance; the program appends \": \" and the amount",
  es="Saldo", en="Balance", ca="Saldo", fr="Solde", pt="Saldo")
D(312, "the two intact value blocks hold different balances (shown in brackets)",
  es="los dos bloques de valor no coinciden", en="the two value blocks differ",
  ca="els dos blocs de valor no coincideixen", fr="les deux blocs de valeur diffèrent",
  pt="os dois blocos de valor diferem")
D(313, "no value block holds an intact balance",
  es="ilegible, ningún bloque de valor está intacto", en="unreadable, no value block is intact",
  ca="il·legible, cap bloc de valor no és intacte", fr="illisible, aucun bloc de valeur n'est intact",
  pt="ilegível, nenhum bloco de valor está intacto")
D(314, "value block; the program appends a blank, the block number, \": \" and its state",
  es="Bloque de valor", en="Value block", ca="Bloc de valor", fr="Bloc de valeur", pt="Bloco de valor")
D(315, "value block intact",
  es="intacto", en="intact", ca="intacte", fr="intact", pt="intacto")
D(316, "value block fault: the value and its copy differ",
  es="el valor y su copia no coinciden", en="the value and its copy differ",
  ca="el valor i la seva còpia no coincideixen", fr="la valeur et sa copie diffèrent",
  pt="o valor e a sua cópia diferem")
D(317, "value block fault: the inverted value is not the inverse of the value",
  es="el valor invertido no es el inverso del valor",
  en="the inverted value is not the inverse of the value",
  ca="el valor invertit no és l'invers del valor",
  fr="la valeur inversée n'est pas l'inverse de la valeur",
  pt="o valor invertido não é o inverso do valor")
D(318, "value block fault: address bytes not address, inverse, address, inverse",
  es="los bytes de dirección no siguen el patrón dirección, inversa, dirección, inversa",
  en="the address bytes do not follow address, inverse, address, inverse",
  ca="els bytes d'adreça no segueixen el patró adreça, inversa, adreça, inversa",
  fr="les octets d'adresse ne suivent pas le motif adresse, inverse, adresse, inverse",
  pt="os bytes de endereço não seguem o padrão endereço, inverso, endereço, inverso")
D(319, "value block fault: the block its address names; the program appends a blank and the number",
  es="indica el bloque", en="names block", ca="indica el bloc", fr="désigne le bloc", pt="indica o bloco")
D(320, "value block fault: the partner it should name; the program appends a blank and the number",
  es="debería indicar el bloque", en="should name block", ca="hauria d'indicar el bloc",
  fr="devrait désigner le bloc", pt="deveria indicar o bloco")
D(321, "CONFIG relay time; the program appends \": \", the time and its unit in brackets",
  es="Tiempo de relé", en="Relay time", ca="Temps de relé", fr="Temps du relais", pt="Tempo do relé")
D(322, "CONFIG clear-list flag; the program appends \": \" and yes or no",
  es="Borrar la lista de usuarios", en="Clear the user list", ca="Esborrar la llista d'usuaris",
  fr="Effacer la liste des utilisateurs", pt="Apagar a lista de utilizadores")
D(323, "yes", es="sí", en="yes", ca="sí", fr="oui", pt="sim")
D(324, "no", es="no", en="no", ca="no", fr="non", pt="não")
D(325, "CONFIG list type; the program appends \": \" and the type",
  es="Tipo de lista", en="List type", ca="Tipus de llista", fr="Type de liste", pt="Tipo de lista")
D(326, "a unit or list type the drop-down has no item for (after its number and a comma)",
  es="no está en la lista", en="not in the list", ca="no és a la llista", fr="absent de la liste",
  pt="não está na lista")
D(327, "CONFIG node number; the program appends \": \" and the node",
  es="Nodo", en="Node", ca="Node", fr="Nœud", pt="Nó")
D(328, "CONFIG node FFFF",
  es="lo fijan las tarjetas numéricas", en="set by the numeric cards",
  ca="el fixen les targetes numèriques", fr="fixé par les cartes numériques",
  pt="definido pelos cartões numéricos")
D(329, "CONFIG scan frequency; the program appends \": \" and the value",
  es="Frecuencia de scan", en="Scan frequency", ca="Freqüència d'escaneig",
  fr="Fréquence de scan", pt="Frequência de varrimento")
D(330, "CONFIG decrement; the program appends \": \" and the value",
  es="Decremento", en="Decrement", ca="Decrement", fr="Décrément", pt="Decremento")
D(331, "CONFIG external-relay frame; the program appends \": \" and the bytes or none",
  es="Trama de relé externo", en="External relay frame", ca="Trama de relé extern",
  fr="Trame du relais externe", pt="Trama do relé externo")
D(332, "after the number of bytes of the relay frame",
  es="bytes", en="bytes", ca="bytes", fr="octets", pt="bytes")
D(333, "CONFIG and MASTER sum; the program appends \": \", the sum and whether it is right",
  es="Suma", en="Sum", ca="Suma", fr="Somme", pt="Soma")
D(334, "MASTER current installation code; the program appends \": \" and the code",
  es="Cód. instalación actual", en="Current installation code", ca="Codi instal·lació actual",
  fr="Code d'installation actuel", pt="Cód. instalação atual")
D(335, "MASTER new installation code; the program appends \": \" and the code",
  es="Nuevo cód. instalación", en="New installation code", ca="Nou codi instal·lació",
  fr="Nouveau code d'installation", pt="Novo cód. instalação")
D(336, "MASTER new key; the program appends \": \" and the key",
  es="Nueva key", en="New key", ca="Nova clau", fr="Nouvelle clé", pt="Nova chave")
D(337, "MASTER new data sector; the program appends \": \" and the sector",
  es="Nuevo sector", en="New sector", ca="Nou sector", fr="Nouveau secteur", pt="Novo setor")
D(338, "the card's UID from the card report; the program appends \": \" and the bytes",
  es="UID", en="UID", ca="UID", fr="UID", pt="UID")
D(339, "the card's ATQA from the card report; the program appends \": \" and the bytes",
  es="ATQA", en="ATQA", ca="ATQA", fr="ATQA", pt="ATQA")
D(340, "UID or ATQA the card report did not carry",
  es="no informado", en="not reported", ca="no informat", fr="non signalé", pt="não indicado")
D(341, "type code 53, 54, 55 or 13: nothing beyond the head is decoded",
  es="Este programa reconoce este tipo pero no lo graba; no se descifra nada más.",
  en="This program knows this type but never writes it; nothing more is decoded.",
  ca="Aquest programa reconeix aquest tipus però no el grava; no es desxifra res més.",
  fr="Ce programme connaît ce type mais ne l'écrit jamais ; rien d'autre n'est décodé.",
  pt="Este programa reconhece este tipo mas nunca o grava; nada mais é descodificado.")
# The link frame's own labels, beside the port number, the baud rate and the address.
same(285, LABEL, "label lblCom: beside cEditCfg1 (serial port number)", "COM:")
M(286, LABEL, "label lblBaud: beside cCombo1 (baud rate)",
  es="Baudios:", en="Baud:", ca="Bauds:", fr="Bauds :", pt="Baud:")
M(287, LABEL, "label lblHost: beside cEditCfg3 (TCP address of the reader)",
  es="IP:", en="IP:", ca="IP:", fr="IP :", pt="IP:")


# ---------------------------------------------------------------------------
# A link lost under a run, a card that fails a check, 475..476
# ---------------------------------------------------------------------------
M(475, BOX, "box shown once when the link to the reader is lost while a run is going on: "
  "what to do next",
  es="Se ha perdido la conexión con el lector durante la tarea.~"
     "Pulse Stop, compruebe el cable y la alimentación del lector (o su red),~"
     "y después pulse \"Cerrar puerto\" y vuelva a abrir el puerto.",
  en="The connection to the reader was lost while a run was going on.~"
     "Press Stop, check the reader's cable and power (or its network),~"
     "then press \"Close port\" and open the port again.",
  ca="S'ha perdut la connexió amb el lector durant la tasca.~"
     "Premeu Stop, comproveu el cable i l'alimentació del lector (o la seva xarxa),~"
     "i després premeu \"Tancar port\" i torneu a obrir el port.",
  fr="La connexion au lecteur a été perdue pendant le travail en cours.~"
     "Appuyez sur Stop, vérifiez le câble et l'alimentation du lecteur (ou son réseau),~"
     "puis appuyez sur \"Fermer le port\" et rouvrez le port.",
  pt="A ligação ao leitor perdeu-se durante a tarefa.~"
     "Prima Stop, verifique o cabo e a alimentação do leitor (ou a sua rede),~"
     "e depois prima \"Fechar porta\" e volte a abrir a porta.")
M(476, SHOW, "card details: first line of a card that fails a check (check digit, sum, value "
  "block, not a card of this system, nothing written); the program appends a dash "
  "and what failed, one dash before each. Begins with a sign that catches the eye",
  es="(!) ATENCIÓN", en="(!) ATTENTION", ca="(!) ATENCIÓ", fr="(!) ATTENTION",
  pt="(!) ATENÇÃO")


# ---------------------------------------------------------------------------
# Numbers every file must fill: those the window and the runs ask for.
# ---------------------------------------------------------------------------
def _expected_numbers():
    n = {1, 2, 39, 60, 61, 273}
    n |= set(range(6, 27)) | set(range(45, 52)) | set(range(65, 80)) | set(range(85, 88))
    n |= set(range(90, 93)) | set(range(95, 99)) | set(range(100, 106)) | set(range(110, 116))
    n |= set(range(130, 149)) | set(range(150, 169)) | set(range(170, 217))
    n |= set(range(230, 261)) | set(range(280, 288))
    n |= {290, 291}
    n |= set(range(300, 342))
    n |= set(range(360, 390))
    n |= set(range(400, 412))
    n |= set(range(420, 441))
    n |= {475, 476}
    n |= set(range(450, 464))
    return n


MAX_BUTTON = 28      # characters that fit on the widest button
MAX_TIP_LINE = 100   # characters per tooltip line before a "~" is wanted


class CatalogueError(Exception):
    pass


def verify():
    """Checks the tables; raises CatalogueError listing every problem found."""
    errors = []
    seen = {}
    for num, kind, role, texts in ENTRIES:
        if num in seen:
            errors.append(f"{num}: defined twice")
        seen[num] = (kind, texts)
        if not 1 <= num <= 499:
            errors.append(f"{num}: outside 1..499")
        if not role:
            errors.append(f"{num}: no role")
        if set(texts) != set(CODES):
            errors.append(f"{num}: languages {sorted(texts)}")
            continue
        for code in CODES:
            t = texts[code]
            where = f"{num} [{code}]"
            if not t or t != t.strip():
                errors.append(f"{where}: empty or padded with blanks: {t!r}")
            if "\r" in t or "\n" in t:
                errors.append(f"{where}: raw line break (use ~)")
            if t.endswith("~"):
                errors.append(f"{where}: ends with ~ (would continue on the next line)")
            try:
                t.encode("cp1252", errors="strict")
            except UnicodeEncodeError as e:
                errors.append(f"{where}: not Windows-1252: {e}")
            if kind in CAPTION_KINDS and "&" in t.replace("&&", ""):
                errors.append(f"{where}: single & in a caption (write && for one &)")
            if kind in CAPTION_KINDS and "~" in t:
                errors.append(f"{where}: line break in a caption")
            if kind == BUTTON and len(t) > MAX_BUTTON:
                errors.append(f"{where}: button caption longer than {MAX_BUTTON}")
            if kind == TIP:
                # A "<" could make the tooltip be taken for rich text.
                if "<" in t:
                    errors.append(f"{where}: '<' in a tooltip")
                for part in t.split("~"):
                    if len(part) > MAX_TIP_LINE:
                        errors.append(f"{where}: tooltip line longer than {MAX_TIP_LINE}")
            if "`" in t or "|" in t:
                errors.append(f"{where}: ` or | breaks the translators' table")
        if kind in FIXED_KINDS and len(set(texts.values())) != 1:
            errors.append(f"{num}: product name differs between languages")

    expected = _expected_numbers()
    if set(seen) != expected:
        missing = sorted(expected - set(seen))
        extra = sorted(set(seen) - expected)
        errors.append(f"number set differs: missing {missing}, unexpected {extra}")

    for _, code, own in LANGS:
        if seen.get(1, (None, {}))[1].get(code) != own:
            errors.append(f"1 [{code}]: must be {own!r}")
        # Combo items: the card stores an item's position, found by comparing
        # the combo text with each message, so real items must differ.
        for first, default in ((100, 101), (110, 110)):
            items = [seen[n][1][code] for n in range(first, first + 6) if n in seen]
            real = [t for t in items if t != "-"]
            if len(real) != len(set(real)):
                errors.append(f"{first}..{first + 5} [{code}]: repeated item")
            if default in seen and seen[default][1][code] == "-":
                errors.append(f"{default} [{code}]: the default item must be real")

    if errors:
        raise CatalogueError("\n".join(errors))


def catalogue_bytes(code):
    """The .dat file of one language: line k = message k, CR LF after every line."""
    texts = {num: t[code] for num, _, _, t in ENTRIES}
    last = max(texts)
    lines = [texts.get(k, "") for k in range(1, last + 1)]
    return b"".join(line.encode("cp1252", errors="strict") + b"\r\n" for line in lines)


def filled_numbers(data):
    """Numbers of the non-empty lines of a written file, read back as the program would."""
    assert data.endswith(b"\r\n")
    lines = data[:-2].split(b"\r\n")
    if any(b"\r" in l or b"\n" in l for l in lines):
        raise CatalogueError("stray CR or LF inside a line")
    if any(l.endswith(b"~") for l in lines):
        raise CatalogueError("a line ends with ~")
    return {k for k, l in enumerate(lines, start=1) if l}


def readme_text():
    out = []
    out.append("# Language files\n")
    out.append("`MisI01.dat` .. `MisI05.dat` hold every text the program shows: "
               "1 Spanish (the start language), 2 English, 3 Catalan, 4 French, "
               "5 Portuguese. They are generated by `scripts/make_lang.py`; change a "
               "text there and run `python3 scripts/make_lang.py` (with `--check` it "
               "only verifies that the files here are current). Do not edit the "
               "`.dat` files by hand.\n")
    out.append("## File format\n")
    out.append("- Windows-1252 (cp1252), every line ended by CR LF.")
    out.append("- Physical line k is message k; numbers without a role are empty lines; "
               "the last message is the last line.")
    out.append("- `~` inside a text is a line break. A line that *ends* with `~` would "
               "continue on the next physical line and shift every later number, so "
               "no text ends with `~`.")
    out.append("- Message 1 is the language's own name, shown on the language selector.")
    out.append("- Files may be left out; the program loads whichever are present. "
               "A new language goes into a free file number with every number "
               "below filled.\n")
    out.append("## Rules for translators\n")
    out.append("- Captions (labels, frames, check boxes, buttons, tabs): `&&` shows as "
               "one `&`; a single `&` would underline the next letter. Captions have no "
               "line breaks; button captions stay short "
               f"(at most {MAX_BUTTON} characters).")
    out.append("- Card names printed on the cards' sleeves stay as they are in every "
               "language: MASTER, CONFIG, ALTA, ALTA BLOCK, BAJA, BAJA BLOCK, NUEVO, "
               "NUM. 0 .. NUM. 9, USUARIO BASICO, USUARIO AVANZADO, USUARIO CON SALDO. "
               "Start and Stop are kept too.")
    out.append("- Tooltips: no `<` (it could turn the tooltip into rich text); break "
               f"lines longer than {MAX_TIP_LINE} characters with `~`.")
    out.append("- Combo items 100..105 and 110..115: the position of the chosen item is "
               "written to the CONFIG card, so keep the order (100 tenths of a second, "
               "101 seconds, 102 minutes; 110 white list, 111 black list). `-` adds no "
               "item. Items of one list must differ from each other.")
    out.append("- Where the role says *the program appends*, the text is a prefix; "
               "do not end it with a colon or blank of its own.\n")
    out.append("## Numbers\n")
    out.append("| No. | Kind | Role | English text |")
    out.append("|---:|---|---|---|")
    for num, kind, role, texts in sorted(ENTRIES, key=lambda e: e[0]):
        role_md = role.replace("|", "/")
        out.append(f"| {num} | {kind} | {role_md} | `{texts['en']}` |")
    out.append("")
    out.append(f"{len(ENTRIES)} numbers are used; every file fills all of them.")
    return "\n".join(out) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--check", action="store_true",
                    help="verify that the files in lang/ are current; write nothing")
    args = ap.parse_args()

    try:
        verify()
        outputs = {}
        filled = {}
        for num, code, _ in LANGS:
            data = catalogue_bytes(code)
            filled[code] = filled_numbers(data)
            outputs[LANG_DIR / f"MisI0{num}.dat"] = data
        sets = {frozenset(s) for s in filled.values()}
        if len(sets) != 1:
            ref = filled[CODES[0]]
            diff = {c: sorted(s ^ ref) for c, s in filled.items() if s != ref}
            raise CatalogueError(f"files fill different numbers: {diff}")
        outputs[LANG_DIR / "README.md"] = readme_text().encode("utf-8")
    except CatalogueError as e:
        print(f"make_lang: {e}", file=sys.stderr)
        return 1

    count = len(next(iter(filled.values())))
    if args.check:
        stale = [p.name for p, d in outputs.items()
                 if not p.exists() or p.read_bytes() != d]
        if stale:
            print("make_lang: out of date: " + ", ".join(stale), file=sys.stderr)
            return 1
        print(f"lang/ is current: {len(LANGS)} files, {count} numbers each")
        return 0

    LANG_DIR.mkdir(exist_ok=True)
    for path, data in outputs.items():
        path.write_bytes(data)
    print(f"wrote {len(LANGS)} language files, {count} numbers filled in each "
          f"(same set in all), and lang/README.md")
    return 0


if __name__ == "__main__":
    sys.exit(main())
