<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>TStartup</name>
    <message>
        <source>Авиасимулятор ORVAK не найден в папке «%1»: нет ни conf.ini, ни orvaksim.exe. Укажите папку, в которой он установлен; ZELK запомнит ее.</source>
        <translation>The ORVAK flight simulator was not found in folder «%1»: neither conf.ini nor orvaksim.exe is there. Choose the folder where it is installed; ZELK will remember it.</translation>
    </message>
    <message>
        <source>Папка авиасимулятора ORVAK</source>
        <translation>ORVAK simulator folder</translation>
    </message>
    <message>
        <source>В папке «%1» нет авиасимулятора: нет ни conf.ini, ни orvaksim.exe.</source>
        <translation>Folder «%1» holds no simulator: neither conf.ini nor orvaksim.exe is there.</translation>
    </message>
    <message>
        <source>Выбрать другую</source>
        <translation>Choose another</translation>
    </message>
    <message>
        <source>Работать с этой папкой</source>
        <translation>Work with this folder</translation>
    </message>
    <message>
        <source>Не удалось запомнить папку авиасимулятора: при следующем запуске ZELK спросит ее снова.</source>
        <translation>Cannot remember the simulator folder: ZELK will ask for it again at the next start.</translation>
    </message>
</context>
<context>
    <name>card</name>
    <message>
        <source>%1,%2 км</source>
        <translation>%1.%2 km</translation>
    </message>
    <message>
        <source>Карта: %1</source>
        <translation>Map: %1</translation>
    </message>
    <message>
        <source>Самолет: %1</source>
        <translation>Aircraft: %1</translation>
    </message>
    <message>
        <source>Группа: %1 (самолетов: %2)</source>
        <translation>Flight: %1 (aircraft: %2)</translation>
    </message>
    <message>
        <source>Время: %1</source>
        <translation>Time: %1</translation>
    </message>
    <message>
        <source>Погода: %1</source>
        <translation>Weather: %1</translation>
    </message>
    <message>
        <source>Облачность: %1 м</source>
        <translation>Cloud base: %1 m</translation>
    </message>
    <message>
        <source>Истребители противника: %1 × %2</source>
        <translation>Enemy fighters: %1 × %2</translation>
    </message>
    <message>
        <source>Истребители противника: нет</source>
        <translation>Enemy fighters: none</translation>
    </message>
    <message>
        <source>%1→%2  курс %3°  %4  высота %5 м</source>
        <translation>%1→%2  heading %3°  %4  altitude %5 m</translation>
    </message>
    <message>
        <source>  ← атака</source>
        <translation>  ← attack</translation>
    </message>
    <message>
        <source>Атака: точка %1, боевой курс %2°, высота %3 м</source>
        <translation>Attack: point %1, attack heading %2°, altitude %3 m</translation>
    </message>
    <message>
        <source>Патруль противника: %1 × %2, высота %3 м</source>
        <translation>Enemy patrol: %1 × %2, altitude %3 m</translation>
    </message>
    <message>
        <source>В файле задания нет маршрута</source>
        <translation>The mission file holds no route</translation>
    </message>
    <message>
        <source>Задание № %1 · %2</source>
        <translation>Mission No. %1 · %2</translation>
    </message>
    <message>
        <source>Фотографии цели нет</source>
        <translation>No photograph of the target</translation>
    </message>
    <message>
        <source>%1 · ZELK %2 · %3</source>
        <translation>%1 · ZELK %2 · %3</translation>
    </message>
    <message>
        <source>Маршрут</source>
        <translation>Route</translation>
    </message>
    <message>
        <source>Брифинг</source>
        <translation>Briefing</translation>
    </message>
    <message>
        <source>Комментарий пилота</source>
        <translation>Pilot&apos;s comment</translation>
    </message>
    <message>
        <source>… (продолжение в описании задания)</source>
        <translation>… (continued in the mission description)</translation>
    </message>
    <message>
        <source>файл задания не найден</source>
        <translation>mission file not found</translation>
    </message>
    <message>
        <source>Фотографии нет: цели «%1» нет в файлах данных</source>
        <translation>No photograph: target «%1» is not in the data files</translation>
    </message>
    <message>
        <source>Фотографии нет: %1</source>
        <translation>No photograph: %1</translation>
    </message>
</context>
<context>
    <name>catalogue</name>
    <message>
        <source>Штурмовка</source>
        <translation>Ground attack</translation>
    </message>
    <message>
        <source>Торпедирование</source>
        <translation>Torpedo attack</translation>
    </message>
    <message>
        <source>Пикирование</source>
        <translation>Dive bombing</translation>
    </message>
    <message>
        <source>Бомбометание</source>
        <translation>Level bombing</translation>
    </message>
    <message>
        <source>Учебный вылет</source>
        <translation>Training sortie</translation>
    </message>
    <message>
        <source>Боевой вылет</source>
        <translation>Combat sortie</translation>
    </message>
    <message>
        <source>неподвижная</source>
        <translation>stationary</translation>
    </message>
    <message>
        <source>движущаяся</source>
        <translation>moving</translation>
    </message>
    <message>
        <source>Красная, русский</source>
        <translation>Red, Russian</translation>
    </message>
    <message>
        <source>Красная, английский</source>
        <translation>Red, English</translation>
    </message>
    <message>
        <source>Синяя, немецкий</source>
        <translation>Blue, German</translation>
    </message>
    <message>
        <source>Синяя, японский</source>
        <translation>Blue, Japanese</translation>
    </message>
    <message>
        <source>Случайный</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>Включить режим автогенерации заданий</source>
        <translation>Switch mission auto-generation on</translation>
    </message>
    <message>
        <source>Выключить режим автогенерации заданий</source>
        <translation>Switch mission auto-generation off</translation>
    </message>
    <message>
        <source>Безоблачно</source>
        <translation>Cloudless</translation>
    </message>
    <message>
        <source>Ясно</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Дымка</source>
        <translation>Haze</translation>
    </message>
    <message>
        <source>Слабый туман</source>
        <translation>Light fog</translation>
    </message>
    <message>
        <source>Туман</source>
        <translation>Fog</translation>
    </message>
    <message>
        <source>Дождь/снег</source>
        <translation>Rain/snow</translation>
    </message>
    <message>
        <source>Гроза</source>
        <translation>Thunderstorm</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Пара</source>
        <translation>Pair</translation>
    </message>
    <message>
        <source>Звено</source>
        <translation>Flight of four</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source> и еще %1</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>(нет)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: %1</source>
        <translation>zelk-cli: warning: %1</translation>
    </message>
    <message>
        <source>нет задания %1 в папке %2; допустимо: %3</source>
        <translation>no mission %1 in folder %2; accepted: %3</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: журнал вариантов негде вести: папка %1 закрыта для записи</source>
        <translation>zelk-cli: warning: nowhere to keep the journal of variants: folder %1 is not writable</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: вариант не записан в журнал: %1</source>
        <translation>zelk-cli: warning: variant not written to the journal: %1</translation>
    </message>
    <message>
        <source>в файлах данных %1 нет ни одной карты с целями</source>
        <translation>the data files in %1 hold no map with targets</translation>
    </message>
    <message>
        <source>нет карты с ключом %1; допустимо: %2</source>
        <translation>no map with key %1; accepted: %2</translation>
    </message>
    <message>
        <source>на карте %1 нет цели %2; допустимо: %3</source>
        <translation>map %1 has no target %2; accepted: %3</translation>
    </message>
    <message>
        <source>нет самолета класса %1; допустимо: %2</source>
        <translation>no aircraft of class %1; accepted: %2</translation>
    </message>
    <message>
        <source>на карте %1 нет целей</source>
        <translation>map %1 has no targets</translation>
    </message>
    <message>
        <source>недопустимое значение --moving 1: цель %1 не бывает движущейся; допустимо: 0</source>
        <translation>invalid value --moving 1: target %1 is never moving; accepted: 0</translation>
    </message>
    <message>
        <source>недопустимое значение --moving 0: цель %1 бывает только движущейся; допустимо: 1</source>
        <translation>invalid value --moving 0: target %1 is only ever moving; accepted: 1</translation>
    </message>
    <message>
        <source>цель %1 не предлагает ни одного варианта задания</source>
        <translation>target %1 offers no mission variant</translation>
    </message>
    <message>
        <source>недопустимое значение --mode %1: цель %2 предлагает типы %3</source>
        <translation>invalid value --mode %1: target %2 offers types %3</translation>
    </message>
    <message>
        <source>недопустимое значение --difficulty %1: цель %2 предлагает сложность %3</source>
        <translation>invalid value --difficulty %1: target %2 offers difficulty %3</translation>
    </message>
    <message>
        <source>недопустимое сочетание%1: у цели %2 для него нет объектов; допустимо: %3</source>
        <translation>invalid combination%1: target %2 has no objects for it; accepted: %3</translation>
    </message>
    <message>
        <source>для типа задания %1 (%2) нет ни одного самолета</source>
        <translation>no aircraft for mission type %1 (%2)</translation>
    </message>
    <message>
        <source>недопустимое значение --mode %1: %2</source>
        <translation>invalid value --mode %1: %2</translation>
    </message>
    <message>
        <source>недопустимое значение --aircraft %1: для типа задания %2 (%3) допустимо: %4</source>
        <translation>invalid value --aircraft %1: for mission type %2 (%3) accepted: %4</translation>
    </message>
    <message>
        <source>недопустимое значение --tanks %1: у цели %2 нет выбора танков; допустимо: 0</source>
        <translation>invalid value --tanks %1: target %2 has no tank choice; accepted: 0</translation>
    </message>
    <message>
        <source>недопустимое значение --tanks %1: у цели %2 при армии %3 колонны красных; допустимо: %4</source>
        <translation>invalid value --tanks %1: for target %2 with army %3 the columns are red; accepted: %4</translation>
    </message>
    <message>
        <source>недопустимое значение --tanks %1: у цели %2 при армии %3 колонны синих; допустимо: %4</source>
        <translation>invalid value --tanks %1: for target %2 with army %3 the columns are blue; accepted: %4</translation>
    </message>
    <message>
        <source>недопустимое значение --fighters %1: вражеские истребители бывают только в боевом вылете (--difficulty 1); в учебном допустимо: 0</source>
        <translation>invalid value --fighters %1: enemy fighters come only in a combat sortie (--difficulty 1); in training accepted: 0</translation>
    </message>
    <message>
        <source>Заданий нет: %1</source>
        <translation>No missions: %1</translation>
    </message>
    <message>
        <source>файл задания не найден: %1</source>
        <translation>mission file not found: %1</translation>
    </message>
    <message>
        <source>недопустимое значение --variant %1: у задания %2 нет вариантов в журнале</source>
        <translation>invalid value --variant %1: mission %2 has no variants in the journal</translation>
    </message>
    <message>
        <source>недопустимое значение --variant %1: у задания %2 варианты от 1 до %3</source>
        <translation>invalid value --variant %1: mission %2 has variants 1 to %3</translation>
    </message>
    <message>
        <source>цели %1 варианта %2 нет в файлах данных %3</source>
        <translation>target %1 of variant %2 is not in the data files in %3</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: файлы данных изменились с тех пор (%1): вариант %2 записан заново, но не совпадает с прежним побайтно</source>
        <translation>zelk-cli: warning: the data files have changed since then (%1): variant %2 written again, but not byte for byte as before</translation>
    </message>
    <message>
        <source>  (данные изменились)</source>
        <translation>  (data changed)</translation>
    </message>
    <message>
        <source>Вариантов задания %1 в журнале нет</source>
        <translation>No variants of mission %1 in the journal</translation>
    </message>
    <message>
        <source>Удалено: %1</source>
        <translation>Deleted: %1</translation>
    </message>
    <message>
        <source>файл невозможно удалить: %1</source>
        <translation>cannot delete file: %1</translation>
    </message>
    <message>
        <source>недопустимое значение %1 &quot;%2&quot;: допустима существующая папка авиасимулятора</source>
        <translation>invalid value %1 &quot;%2&quot;: an existing simulator folder is accepted</translation>
    </message>
    <message>
        <source>%1 и в %2</source>
        <translation>%1 and in %2</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: авиасимулятор не найден (нет ни conf.ini, ни orvaksim.exe) в %1; работаю в %2; укажите папку авиасимулятора в --root или ZELK_ROOT</source>
        <translation>zelk-cli: warning: simulator not found (neither conf.ini nor orvaksim.exe) in %1; working in %2; name the simulator folder with --root or ZELK_ROOT</translation>
    </message>
    <message>
        <source>zelk-cli: недостаточно памяти</source>
        <translation>zelk-cli: out of memory</translation>
    </message>
    <message>
        <source>zelk-cli: непредвиденная ошибка</source>
        <translation>zelk-cli: unexpected error</translation>
    </message>
    <message>
        <source>zelk-cli: не удалось вывести результат</source>
        <translation>zelk-cli: cannot write the output</translation>
    </message>
    <message>
        <source>недопустимое значение %1 %2: допустим текст из букв кодировки Windows-1251 (русские и латинские буквы, цифры, знаки)</source>
        <translation>invalid value %1 %2: text of Windows-1251 characters is accepted (Russian and Latin letters, digits, signs)</translation>
    </message>
    <message>
        <source>%1 или %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>целое от %1 до %2</source>
        <translation>an integer from %1 to %2</translation>
    </message>
    <message>
        <source>ZELK: библиотека заданий и генератор без окна.</source>
        <translation>ZELK: the mission library and generator without a window.</translation>
    </message>
    <message>
        <source>папка авиасимулятора (по умолчанию: ZELK_ROOT, иначе родитель папки программы, если в нем есть авиасимулятор, иначе папка, указанная в окне ZELK)</source>
        <translation>simulator folder (default: ZELK_ROOT, else the parent of the program&apos;s folder when it holds the simulator, else the folder chosen in the ZELK window)</translation>
    </message>
    <message>
        <source>папка с файлами orvak_zelk.rc0..rc9 (по умолчанию: текущая)</source>
        <translation>folder of the files orvak_zelk.rc0..rc9 (default: the current folder)</translation>
    </message>
    <message>
        <source>начальное значение генератора (целое без знака, 64 бита)</source>
        <translation>seed of the generator (unsigned 64-bit integer)</translation>
    </message>
    <message>
        <source>язык сообщений: ru или en (по умолчанию: язык системы, иначе русский)</source>
        <translation>language of messages: ru or en (default: the system&apos;s language, else Russian)</translation>
    </message>
    <message>
        <source>вывод в формате JSON</source>
        <translation>output as JSON</translation>
    </message>
    <message>
        <source>версия программы</source>
        <translation>program version</translation>
    </message>
    <message>
        <source>Файлы данных orvak_zelk.rc0..rc9 пилот кладет в папку сам; zelk-cli читает их из --data или из текущей папки. Задания пишутся в ROOT/Missions/Single/NN/ZELK.</source>
        <translation>The pilot puts the data files orvak_zelk.rc0..rc9 into a folder; zelk-cli reads them from --data or from the current folder. Missions are written to ROOT/Missions/Single/NN/ZELK.</translation>
    </message>
    <message>
        <source>задания папки в порядке просмотра</source>
        <translation>missions of the folder in listing order</translation>
    </message>
    <message>
        <source>одно задание</source>
        <translation>one mission</translation>
    </message>
    <message>
        <source>создать и сохранить новое задание</source>
        <translation>create and save a new mission</translation>
    </message>
    <message>
        <source>копия задания в новый файл</source>
        <translation>copy a mission to a new file</translation>
    </message>
    <message>
        <source>записать задание заново</source>
        <translation>write a mission again</translation>
    </message>
    <message>
        <source>варианты задания из журнала, новые первыми</source>
        <translation>variants of a mission from the journal, newest first</translation>
    </message>
    <message>
        <source>удалить задания и их файлы</source>
        <translation>delete missions and their files</translation>
    </message>
    <message>
        <source>автогенерация: следить за журналом событий</source>
        <translation>auto-generation: follow the event log</translation>
    </message>
    <message>
        <source>проверка установки: что не так и как исправить (код 0, когда всё нужное в порядке)</source>
        <translation>set-up check: what is wrong and how to fix it (code 0 when everything needed works)</translation>
    </message>
    <message>
        <source>файл задания, например zelk0007.mis</source>
        <translation>mission file, e.g. zelk0007.mis</translation>
    </message>
    <message>
        <source>записать схему маршрута в файл SVG</source>
        <translation>write the route drawing to an SVG file</translation>
    </message>
    <message>
        <source>записать заново вариант K из журнала (см. history)</source>
        <translation>write variant K from the journal again (see history)</translation>
    </message>
    <message>
        <source>файлы заданий</source>
        <translation>mission files</translation>
    </message>
    <message>
        <source>ключ карты</source>
        <translation>map key</translation>
    </message>
    <message>
        <source>название цели</source>
        <translation>target name</translation>
    </message>
    <message>
        <source>класс самолета</source>
        <translation>aircraft class</translation>
    </message>
    <message>
        <source>высота облачности: 500, 600 ... 1500</source>
        <translation>cloud base: 500, 600 ... 1500</translation>
    </message>
    <message>
        <source>выбрать не заданные параметры случайно среди того, что есть в данных</source>
        <translation>draw the parameters not given at random among what the data offer</translation>
    </message>
    <message>
        <source>состав танковых колонн: целое от 0 до 13 или его название в списке стороны, чьи колонны у цели</source>
        <translation>tank column make-up: an integer from 0 to 13 or its name in the list of the side whose columns the target has</translation>
    </message>
    <message>
        <source>комментарий; строки разделяются \n</source>
        <translation>comment; lines are separated by \n</translation>
    </message>
    <message>
        <source>команде delete нужно хотя бы одно имя файла задания, например zelk0007.mis</source>
        <translation>command delete needs at least one mission file name, e.g. zelk0007.mis</translation>
    </message>
    <message>
        <source>команде %1 нужно имя файла задания, например zelk0007.mis</source>
        <translation>command %1 needs a mission file name, e.g. zelk0007.mis</translation>
    </message>
    <message>
        <source>параметр %1 указан больше одного раза</source>
        <translation>option %1 given more than once</translation>
    </message>
    <message>
        <source>параметру %1 нужно значение</source>
        <translation>option %1 needs a value</translation>
    </message>
    <message>
        <source>неверные аргументы: %1</source>
        <translation>invalid arguments: %1</translation>
    </message>
    <message>
        <source>не указана команда; допустимо: %1</source>
        <translation>no command given; accepted: %1</translation>
    </message>
    <message>
        <source>неизвестный параметр %1; общие параметры: --root, --data, --seed, --json, --lang</source>
        <translation>unknown option %1; common options: --root, --data, --seed, --json, --lang</translation>
    </message>
    <message>
        <source>неизвестная команда %1; допустимо: %2</source>
        <translation>unknown command %1; accepted: %2</translation>
    </message>
    <message>
        <source>неизвестный параметр %1 для команды %2</source>
        <translation>unknown option %1 for command %2</translation>
    </message>
    <message>
        <source>лишний аргумент %1 для команды %2</source>
        <translation>extra argument %1 for command %2</translation>
    </message>
    <message>
        <source>параметру --root нужна папка авиасимулятора</source>
        <translation>option --root needs the simulator folder</translation>
    </message>
    <message>
        <source>параметру --data нужна папка с файлами orvak_zelk.rc0..rc9</source>
        <translation>option --data needs the folder of orvak_zelk.rc0..rc9</translation>
    </message>
    <message>
        <source>недопустимое значение --seed %1: допустимо целое без знака от 0 до 18446744073709551615</source>
        <translation>invalid value --seed %1: an unsigned integer from 0 to 18446744073709551615 is accepted</translation>
    </message>
    <message>
        <source>недопустимое значение --lang %1: допустимо ru или en</source>
        <translation>invalid value --lang %1: ru or en is accepted</translation>
    </message>
    <message>
        <source>параметру --svg нужно имя файла</source>
        <translation>option --svg needs a file name</translation>
    </message>
    <message>
        <source>недопустимое значение --count %1: %2</source>
        <translation>invalid value --count %1: %2</translation>
    </message>
    <message>
        <source>недопустимое значение --variant %1: допустим номер варианта из списка history, целое от 1</source>
        <translation>invalid value --variant %1: a variant number from the history list is accepted, an integer from 1</translation>
    </message>
    <message>
        <source>недопустимое значение --clouds %1: допустимо одно из %2</source>
        <translation>invalid value --clouds %1: accepted one of %2</translation>
    </message>
    <message>
        <source>недопустимое значение %1 %2: допустимо %3</source>
        <translation>invalid value %1 %2: accepted %3</translation>
    </message>
    <message>
        <source>недопустимое значение --comment %1: допустим текст без управляющих символов, строки разделяются \n</source>
        <translation>invalid value --comment %1: text without control characters is accepted, lines are separated by \n</translation>
    </message>
    <message>
        <source>недопустимое значение --comment: %1 знаков, допустимо не более %2 (перевод строки считается за 2)</source>
        <translation>invalid value --comment: %1 characters, at most %2 accepted (a line break counts as 2)</translation>
    </message>
    <message>
        <source>номер %1</source>
        <translation>number %1</translation>
    </message>
    <message>
        <source>м</source>
        <translation>m</translation>
    </message>
    <message>
        <source>Кратко:</source>
        <translation>Short:</translation>
    </message>
    <message>
        <source>Комментарий:</source>
        <translation>Comment:</translation>
    </message>
    <message>
        <source>zelk-cli: в %1 не задан журнал событий (раздел [game], ключ eventlog): задания перезаписываться не будут</source>
        <translation>zelk-cli: no event log set in %1 (section [game], key eventlog): missions will not be rewritten</translation>
    </message>
    <message>
        <source>zelk-cli: задание &quot;%1&quot; из журнала событий нет в папке %2: пропущено</source>
        <translation>zelk-cli: mission &quot;%1&quot; from the event log is not in folder %2: skipped</translation>
    </message>
    <message>
        <source>Записано заново: %1</source>
        <translation>Written again: %1</translation>
    </message>
    <message>
        <source>в файлах данных нет цели и варианта задания, подходящих к заданным параметрам</source>
        <translation>the data files hold no target and mission variant that fit the parameters given</translation>
    </message>
    <message>
        <source>недопустимое значение --tanks %1: допустимо %2 или название состава из списка танков</source>
        <translation>invalid value --tanks %1: %2 or a make-up name from the tank list is accepted</translation>
    </message>
    <message>
        <source>задание %1 не прочитано: файл %2 недоступен</source>
        <translation>mission %1 not read: file %2 cannot be read</translation>
    </message>
    <message>
        <source>zelk-cli: задание не прочитано, его нет в списке: %1</source>
        <translation>zelk-cli: mission not read, it is not in the list: %1</translation>
    </message>
    <message>
        <source>недопустимое значение --svg %1: файл задания или данных не заменяется рисунком; допустим файл вне папки заданий</source>
        <translation>invalid value --svg %1: a drawing never replaces a mission or data file; accepted: a file outside the mission folder</translation>
    </message>
    <message>
        <source>сколько заданий создать: %1</source>
        <translation>how many missions to create: %1</translation>
    </message>
    <message>
        <source>до номера %3 помещается заданий: %1, а не %2; ничего не записано</source>
        <translation>missions that fit below number %3: %1, not %2; nothing written</translation>
    </message>
    <message>
        <source>вариант %1 не записан: журнал %2, строка %3: %4</source>
        <translation>variant %1 not written: journal %2, line %3: %4</translation>
    </message>
    <message>
        <source>шаблоны условий: list, show NAME, save FILE --name NAME, delete NAME</source>
        <translation>templates of conditions: list, show NAME, save FILE --name NAME, delete NAME</translation>
    </message>
    <message>
        <source>записать карточку задания: файл .pdf, .png или .svg</source>
        <translation>write the mission&apos;s kneeboard card: a .pdf, .png or .svg file</translation>
    </message>
    <message>
        <source>размер карточки: a5 (по умолчанию) или a4</source>
        <translation>card size: a5 (default) or a4</translation>
    </message>
    <message>
        <source>условия нового задания из шаблона с этим именем</source>
        <translation>the new mission&apos;s conditions from the template of this name</translation>
    </message>
    <message>
        <source>list | show NAME | save FILE | delete NAME</source>
        <translation>list | show NAME | save FILE | delete NAME</translation>
    </message>
    <message>
        <source>имя шаблона для save</source>
        <translation>template name for save</translation>
    </message>
    <message>
        <source>команде template нужно действие: list, show NAME, save FILE --name NAME, delete NAME</source>
        <translation>command template needs an action: list, show NAME, save FILE --name NAME, delete NAME</translation>
    </message>
    <message>
        <source>параметру --card нужно имя файла .pdf, .png или .svg</source>
        <translation>option --card needs a .pdf, .png or .svg file name</translation>
    </message>
    <message>
        <source>недопустимое значение --page %1: допустимо a5 или a4</source>
        <translation>invalid value --page %1: a5 or a4 is accepted</translation>
    </message>
    <message>
        <source>параметр --page действует только вместе с --card</source>
        <translation>option --page works only together with --card</translation>
    </message>
    <message>
        <source>неизвестное действие template %1; допустимо: list, show, save, delete</source>
        <translation>unknown template action %1; accepted: list, show, save, delete</translation>
    </message>
    <message>
        <source>template %1: ожидается %2</source>
        <translation>template %1: expected %2</translation>
    </message>
    <message>
        <source>template save: нужно имя шаблона, --name NAME</source>
        <translation>template save: a template name is needed, --name NAME</translation>
    </message>
    <message>
        <source>параметр --name действует только в template save</source>
        <translation>option --name works only in template save</translation>
    </message>
    <message>
        <source>шаблоны негде хранить: папка %1 закрыта для записи</source>
        <translation>nowhere to keep templates: folder %1 is not writable</translation>
    </message>
    <message>
        <source>нет шаблона %1 в файле %2; допустимо: %3</source>
        <translation>no template %1 in file %2; accepted: %3</translation>
    </message>
    <message>
        <source>недопустимое значение --card %1: допустим файл .pdf, .png или .svg</source>
        <translation>invalid value --card %1: a .pdf, .png or .svg file is accepted</translation>
    </message>
    <message>
        <source>карточку в PDF или PNG здесь нарисовать нечем</source>
        <translation>nothing here can draw a card as PDF or PNG</translation>
    </message>
    <message>
        <source>недопустимое значение --card %1: эта сборка zelk-cli пишет карточки только в SVG (для PDF и PNG нужен Qt Gui); допустим файл .svg</source>
        <translation>invalid value --card %1: this build of zelk-cli writes cards only as SVG (PDF and PNG need Qt Gui); a .svg file is accepted</translation>
    </message>
    <message>
        <source>недопустимое значение --card %1: карточка не пишется в папку заданий и не заменяет файлы данных, журнал или шаблоны; допустим файл в другой папке</source>
        <translation>invalid value --card %1: a card is never written into the mission folder and never replaces the data files, the journal or the templates; a file in another folder is accepted</translation>
    </message>
    <message>
        <source>недопустимое значение --card %1: это не файл</source>
        <translation>invalid value --card %1: not a file</translation>
    </message>
    <message>
        <source>PDF не удалось нарисовать</source>
        <translation>the PDF could not be drawn</translation>
    </message>
    <message>
        <source>PNG не удалось нарисовать</source>
        <translation>the PNG could not be drawn</translation>
    </message>
    <message>
        <source>--template не сочетается с параметрами задания и --random: условия берутся из шаблона; допустимы --comment, --count, --seed, --card</source>
        <translation>--template does not go with mission parameters and --random: the conditions come from the template; accepted: --comment, --count, --seed, --card</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: шаблон %1: %2</source>
        <translation>zelk-cli: warning: template %1: %2</translation>
    </message>
    <message>
        <source>Шаблонов нет: %1</source>
        <translation>No templates: %1</translation>
    </message>
    <message>
        <source>Шаблон удален: %1</source>
        <translation>Template deleted: %1</translation>
    </message>
    <message>
        <source>недопустимое значение --name %1: %2</source>
        <translation>invalid value --name %1: %2</translation>
    </message>
    <message>
        <source>шаблон %1 уже есть; сначала удалите его: template delete %1</source>
        <translation>template %1 already exists; delete it first: template delete %1</translation>
    </message>
    <message>
        <source>Шаблон сохранен: %1 (%2)</source>
        <translation>Template saved: %1 (%2)</translation>
    </message>
    <message>
        <source>лётная книжка: полёты и итоги; import LOG, mark FLIGHT --result ... [--note ...]</source>
        <translation>logbook: flights and totals; import LOG, mark FLIGHT --result ... [--note ...]</translation>
    </message>
    <message>
        <source>программа подготовки: start FILE, status, hold, next, back, stop</source>
        <translation>training programme: start FILE, status, hold, next, back, stop</translation>
    </message>
    <message>
        <source>import или mark</source>
        <translation>import or mark</translation>
    </message>
    <message>
        <source>журнал событий для import, номер полёта для mark</source>
        <translation>event log for import, flight number for mark</translation>
    </message>
    <message>
        <source>цель поражена: yes, partly, no или unknown</source>
        <translation>target hit: yes, partly, no or unknown</translation>
    </message>
    <message>
        <source>заметка пилота о полёте</source>
        <translation>the pilot&apos;s note on the flight</translation>
    </message>
    <message>
        <source>вывод полётов в формате CSV</source>
        <translation>print the flights as CSV</translation>
    </message>
    <message>
        <source>start, status, hold, next, back или stop</source>
        <translation>start, status, hold, next, back or stop</translation>
    </message>
    <message>
        <source>файл программы (TOML) для start</source>
        <translation>programme file (TOML) for start</translation>
    </message>
    <message>
        <source>команде programme нужно действие: start FILE, status, hold, next, back или stop</source>
        <translation>the command programme needs an action: start FILE, status, hold, next, back or stop</translation>
    </message>
    <message>
        <source>неизвестное действие logbook %1; допустимо: import LOG, mark FLIGHT</source>
        <translation>unknown logbook action %1; accepted: import LOG, mark FLIGHT</translation>
    </message>
    <message>
        <source>команде logbook import нужен файл журнала событий</source>
        <translation>the command logbook import needs an event log file</translation>
    </message>
    <message>
        <source>команде logbook mark нужен номер полёта</source>
        <translation>the command logbook mark needs a flight number</translation>
    </message>
    <message>
        <source>лишний аргумент %1 для команды logbook</source>
        <translation>extra argument %1 for the command logbook</translation>
    </message>
    <message>
        <source>--result и --note относятся к logbook mark</source>
        <translation>--result and --note belong to logbook mark</translation>
    </message>
    <message>
        <source>команде logbook mark нужен --result: yes, partly, no или unknown</source>
        <translation>the command logbook mark needs --result: yes, partly, no or unknown</translation>
    </message>
    <message>
        <source>недопустимое значение --result %1: допустимо yes, partly, no или unknown</source>
        <translation>invalid value --result %1: accepted are yes, partly, no or unknown</translation>
    </message>
    <message>
        <source>недопустимое значение --note %1: допустим текст без управляющих символов</source>
        <translation>invalid value --note %1: accepted is text without control characters</translation>
    </message>
    <message>
        <source>неизвестное действие programme %1; допустимо: start FILE, status, hold, next, back, stop</source>
        <translation>unknown programme action %1; accepted: start FILE, status, hold, next, back, stop</translation>
    </message>
    <message>
        <source>команде programme start нужен файл программы</source>
        <translation>the command programme start needs a programme file</translation>
    </message>
    <message>
        <source>лишний аргумент %1 для команды programme %2</source>
        <translation>extra argument %1 for the command programme %2</translation>
    </message>
    <message>
        <source>%1 мин</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>полётов %1, налёт %2, отмечено %3</source>
        <translation>flights %1, time flown %2, marked %3</translation>
    </message>
    <message>
        <source>, цель поражена в %1%</source>
        <translation>, target hit in %1%</translation>
    </message>
    <message>
        <source>лётную книжку негде вести: папка %1 закрыта для записи</source>
        <translation>nowhere to keep the logbook: the folder %1 cannot be written</translation>
    </message>
    <message>
        <source>В лётной книжке полётов нет</source>
        <translation>The logbook holds no flights</translation>
    </message>
    <message>
        <source>не закончен</source>
        <translation>not finished</translation>
    </message>
    <message>
        <source>в полёте</source>
        <translation>in flight</translation>
    </message>
    <message>
        <source>Всего: </source>
        <translation>All: </translation>
    </message>
    <message>
        <source>папку заданий %1 не удалось прочитать</source>
        <translation>the mission folder %1 could not be read</translation>
    </message>
    <message>
        <source>задания программы %1 нет в папке %2</source>
        <translation>the programme&apos;s mission %1 is not in the folder %2</translation>
    </message>
    <message>
        <source>недопустимое значение LOG &quot;%1&quot;: допустим файл журнала событий</source>
        <translation>invalid value LOG &quot;%1&quot;: accepted is an event log file</translation>
    </message>
    <message>
        <source>Записано полётов: %1, дополнено: %2, уже были в книжке: %3</source>
        <translation>Flights recorded: %1, completed: %2, already in the logbook: %3</translation>
    </message>
    <message>
        <source>нет полёта %1 в лётной книжке %2; номера полётов показывает logbook</source>
        <translation>no flight %1 in the logbook %2; logbook shows the flight numbers</translation>
    </message>
    <message>
        <source>Полёт %1 отмечен: %2</source>
        <translation>Flight %1 marked: %2</translation>
    </message>
    <message>
        <source>программа не перешла к следующему шагу: %1</source>
        <translation>the programme did not move on to the next step: %1</translation>
    </message>
    <message>
        <source>Задание программы: %1</source>
        <translation>The programme&apos;s mission: %1</translation>
    </message>
    <message>
        <source>программа подготовки не начата: zelk-cli programme start FILE</source>
        <translation>no training programme started: zelk-cli programme start FILE</translation>
    </message>
    <message>
        <source>Программа «%1» остановлена на шаге %2 из %3</source>
        <translation>Programme «%1» stopped at step %2 of %3</translation>
    </message>
    <message>
        <source>шага %1 в программе нет: сейчас шаг %2 из %3</source>
        <translation>the programme has no step %1: now at step %2 of %3</translation>
    </message>
    <message>
        <source>программа подготовки: %1; задание записано без неё</source>
        <translation>training programme: %1; the mission was written without it</translation>
    </message>
    <message>
        <source>zelk-cli: предупреждение: полёт не записан в лётную книжку: %1</source>
        <translation>zelk-cli: warning: the flight was not recorded in the logbook: %1</translation>
    </message>
    <message>
        <source>zelk-cli: файл %1 остался от прошлого запуска и не удаляется; с ним watch сразу бы завершился</source>
        <translation>zelk-cli: the file %1 is left from an earlier run and cannot be removed; with it, watch would end at once</translation>
    </message>
    <message>
        <source>zelk-cli: слежу за журналом событий %1; Ctrl+C или файл %2 завершает</source>
        <translation>zelk-cli: following the event log %1; Ctrl+C or the file %2 ends</translation>
    </message>
</context>
<context>
    <name>conditions</name>
    <message>
        <source>%1 %2 данные больше не предлагают: взято %3</source>
        <translation>the data no longer offer %1 %2: took %3</translation>
    </message>
    <message>
        <source>карту</source>
        <translation>the map</translation>
    </message>
    <message>
        <source>цель</source>
        <translation>the target</translation>
    </message>
    <message>
        <source>цель вида</source>
        <translation>a target of kind</translation>
    </message>
    <message>
        <source>движение</source>
        <translation>the movement</translation>
    </message>
    <message>
        <source>тип задания</source>
        <translation>the mission type</translation>
    </message>
    <message>
        <source>сложность</source>
        <translation>the difficulty</translation>
    </message>
    <message>
        <source>самолет</source>
        <translation>the aircraft</translation>
    </message>
    <message>
        <source>танки</source>
        <translation>the tanks</translation>
    </message>
    <message>
        <source>истребителей противника</source>
        <translation>enemy fighters</translation>
    </message>
    <message>
        <source>недопустимое значение %1 = %2; допустимо от %3 до %4</source>
        <translation>invalid value %1 = %2; accepted from %3 to %4</translation>
    </message>
    <message>
        <source>недопустимое значение clouds = %1; допустимо: %2 … %3</source>
        <translation>invalid value clouds = %1; accepted: %2 … %3</translation>
    </message>
    <message>
        <source>вражеские истребители бывают только в боевом вылете (difficulty = 1); в учебном допустимо: fighters = 0</source>
        <translation>enemy fighters come only in a combat sortie (difficulty = 1); in training accepted: fighters = 0</translation>
    </message>
</context>
<context>
    <name>data</name>
    <message>
        <source>Файл «%1»: %2</source>
        <translation>File «%1»: %2</translation>
    </message>
    <message>
        <source>Файл «%1», байт %2: %3</source>
        <translation>File «%1», byte %2: %3</translation>
    </message>
    <message>
        <source>картинка JPEG обрывается на конце файла</source>
        <translation>the JPEG picture breaks off at the end of the file</translation>
    </message>
    <message>
        <source>здесь нет картинки JPEG: нет её начального маркера FF D8</source>
        <translation>no JPEG picture here: its start marker FF D8 is missing</translation>
    </message>
    <message>
        <source>в картинке JPEG ожидался маркер (байт FF)</source>
        <translation>a marker (byte FF) was expected in the JPEG picture</translation>
    </message>
    <message>
        <source>в картинке JPEG неверный маркер</source>
        <translation>wrong marker in the JPEG picture</translation>
    </message>
    <message>
        <source>в картинке JPEG длина сегмента меньше 2</source>
        <translation>segment length below 2 in the JPEG picture</translation>
    </message>
    <message>
        <source>смещение картинки за пределами файла (размер %1)</source>
        <translation>picture offset outside the file (size %1)</translation>
    </message>
    <message>
        <source>картинка JPEG не читается: %1</source>
        <translation>the JPEG picture cannot be read: %1</translation>
    </message>
    <message>
        <source>%1. Цель пропущена, остальное загружено.</source>
        <translation>%1. The target is left out, the rest is loaded.</translation>
    </message>
    <message>
        <source>данные обрываются: для поля «%1» нужно %2 байт, а осталось %3</source>
        <translation>the data break off: field «%1» needs %2 bytes, but %3 remain</translation>
    </message>
    <message>
        <source>длина текста «%1» (%2 байт) выходит за конец данных: осталось %3</source>
        <translation>text length «%1» (%2 bytes) runs past the end of the data: %3 remain</translation>
    </message>
    <message>
        <source>отрицательное поле «%1»: %2</source>
        <translation>negative field «%1»: %2</translation>
    </message>
    <message>
        <source>поле «%1» (%2) больше, чем записей помещается в оставшиеся %3 байт</source>
        <translation>field «%1» (%2) is more than the records that fit into the remaining %3 bytes</translation>
    </message>
    <message>
        <source>имя карты</source>
        <translation>map name</translation>
    </message>
    <message>
        <source>ключ карты</source>
        <translation>map key</translation>
    </message>
    <message>
        <source>имя самолёта</source>
        <translation>aircraft name</translation>
    </message>
    <message>
        <source>запасной текст самолёта</source>
        <translation>aircraft spare text</translation>
    </message>
    <message>
        <source>класс самолёта</source>
        <translation>aircraft class</translation>
    </message>
    <message>
        <source>виды заданий самолёта</source>
        <translation>aircraft mission types</translation>
    </message>
    <message>
        <source>вооружение самолёта</source>
        <translation>aircraft weapons</translation>
    </message>
    <message>
        <source>точка цели X</source>
        <translation>target point X</translation>
    </message>
    <message>
        <source>точка цели Y</source>
        <translation>target point Y</translation>
    </message>
    <message>
        <source>блок Chiefs</source>
        <translation>Chiefs block</translation>
    </message>
    <message>
        <source>блок NStationary</source>
        <translation>NStationary block</translation>
    </message>
    <message>
        <source>блок Buildings</source>
        <translation>Buildings block</translation>
    </message>
    <message>
        <source>блок Target</source>
        <translation>Target block</translation>
    </message>
    <message>
        <source>блок StaticCamera</source>
        <translation>StaticCamera block</translation>
    </message>
    <message>
        <source>блок Bridge</source>
        <translation>Bridge block</translation>
    </message>
    <message>
        <source>блок House</source>
        <translation>House block</translation>
    </message>
    <message>
        <source>блок FrontMarker</source>
        <translation>FrontMarker block</translation>
    </message>
    <message>
        <source>ночной блок</source>
        <translation>night block</translation>
    </message>
    <message>
        <source>резерв</source>
        <translation>reserved</translation>
    </message>
    <message>
        <source>цель %1: %2</source>
        <translation>target %1: %2</translation>
    </message>
    <message>
        <source>номер файла данных %1 вне 0..9</source>
        <translation>data file number %1 outside 0..9</translation>
    </message>
    <message>
        <source>отрицательное смещение картинки %1</source>
        <translation>negative picture offset %1</translation>
    </message>
    <message>
        <source>смещение блока объектов %1 меньше %2</source>
        <translation>object block offset %1 below %2</translation>
    </message>
    <message>
        <source>смещение картинки %1 за пределами файла %2 (размер %3)</source>
        <translation>picture offset %1 outside file %2 (size %3)</translation>
    </message>
    <message>
        <source>по смещению %1 файла %2 (размер %3) нет картинки JPEG</source>
        <translation>no JPEG picture at offset %1 of file %2 (size %3)</translation>
    </message>
    <message>
        <source>смещение блока объектов %1 за пределами файла %2 (размер %3)</source>
        <translation>object block offset %1 outside file %2 (size %3)</translation>
    </message>
    <message>
        <source>блок объектов по смещению %1 файла %2 (размер %3) не завершён байтом 0x04</source>
        <translation>object block at offset %1 of file %2 (size %3) does not end with byte 0x04</translation>
    </message>
    <message>
        <source>файл больше 2 ГБ: смещения в нём не помещаются в int32</source>
        <translation>file larger than 2 GB: its offsets do not fit into int32</translation>
    </message>
    <message>
        <source>файл короче 4 байт (%1): в нём нет даже указателя таблицы целей</source>
        <translation>file shorter than 4 bytes (%1): it has not even the pointer to the target table</translation>
    </message>
    <message>
        <source>число самолётов</source>
        <translation>number of aircraft</translation>
    </message>
    <message>
        <source>таблица смещений маршрута</source>
        <translation>route offset table</translation>
    </message>
    <message>
        <source>смещение маршрута X</source>
        <translation>route offset X</translation>
    </message>
    <message>
        <source>смещение маршрута Y</source>
        <translation>route offset Y</translation>
    </message>
    <message>
        <source>указатель таблицы целей</source>
        <translation>target table pointer</translation>
    </message>
    <message>
        <source>таблица целей по смещению %1 лежит вне файла (её начало должно быть не дальше байта %2)</source>
        <translation>target table at offset %1 lies outside the file (it must start no later than byte %2)</translation>
    </message>
    <message>
        <source>число целей</source>
        <translation>number of targets</translation>
    </message>
    <message>
        <source>имя цели</source>
        <translation>target name</translation>
    </message>
    <message>
        <source>ключ карты цели</source>
        <translation>target map key</translation>
    </message>
    <message>
        <source>номер файла данных цели</source>
        <translation>target data file number</translation>
    </message>
    <message>
        <source>смещение картинки</source>
        <translation>picture offset</translation>
    </message>
    <message>
        <source>это папка, а не файл данных</source>
        <translation>this is a folder, not a data file</translation>
    </message>
    <message>
        <source>не удалось открыть файл для чтения</source>
        <translation>cannot open the file for reading</translation>
    </message>
    <message>
        <source>не удалось узнать размер файла</source>
        <translation>cannot find out the file size</translation>
    </message>
    <message>
        <source>ошибка чтения файла</source>
        <translation>file read error</translation>
    </message>
    <message>
        <source>файл не найден</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>%1. Файл пропущен: его карта и цели не загружены.</source>
        <translation>%1. The file is left out: its map and targets are not loaded.</translation>
    </message>
    <message>
        <source>её картинка и блоки объектов лежат в файле %1, которого нет</source>
        <translation>its picture and object blocks lie in file %1, which is missing</translation>
    </message>
    <message>
        <source>её картинка и блоки объектов не читаются: %1</source>
        <translation>its picture and object blocks cannot be read: %1</translation>
    </message>
    <message>
        <source>смещение блока объектов за пределами файла (размер %1)</source>
        <translation>object block offset outside the file (size %1)</translation>
    </message>
    <message>
        <source>блок объектов не завершён байтом 0x04 до конца файла</source>
        <translation>object block does not end with byte 0x04 before the end of the file</translation>
    </message>
    <message>
        <source>не удалось открыть файл данных для чтения</source>
        <translation>cannot open the data file for reading</translation>
    </message>
    <message>
        <source>не удалось узнать размер файла данных</source>
        <translation>cannot find out the data file size</translation>
    </message>
    <message>
        <source>отрицательное смещение чтения</source>
        <translation>negative read offset</translation>
    </message>
    <message>
        <source>ошибка чтения файла данных</source>
        <translation>data file read error</translation>
    </message>
</context>
<context>
    <name>doctor</name>
    <message>
        <source>Основной файл данных %1 не найден: задания создавать невозможно.</source>
        <translation>The main data file %1 was not found: missions cannot be created.</translation>
    </message>
    <message>
        <source>Положите файлы данных orvak_zelk.rc0…rc9 в папку %1, из которой программа их читает (это папка программы; в zelk-cli её задаёт параметр --data).</source>
        <translation>Put the data files orvak_zelk.rc0…rc9 into the folder %1, from which the program reads them (the program&apos;s folder; in zelk-cli the option --data names it).</translation>
    </message>
    <message>
        <source>Основной файл данных повреждён, задания создавать невозможно. %1</source>
        <translation>The main data file is damaged, missions cannot be created. %1</translation>
    </message>
    <message>
        <source>Замените файл исправной копией из поставки ZELK; если он ссылается на файл данных, которого нет, положите тот рядом. Все ошибки файла покажет команда zelk-pack check %1.</source>
        <translation>Replace the file with a sound copy from the ZELK distribution; if it refers to a data file that is missing, put that one beside it. The command zelk-pack check %1 shows all faults of the file.</translation>
    </message>
    <message>
        <source>Загружены файлы данных %1: карт %2, целей %3, самолётов %4.</source>
        <translation>Data files %1 loaded: maps %2, targets %3, aircraft %4.</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>Цели %1 берут картинку и блоки объектов из пропущенного файла %2; задания для них пишутся, но файл повреждён.</source>
        <translation>Targets %1 take their picture and object blocks from the left-out file %2; their missions are written, but the file is damaged.</translation>
    </message>
    <message>
        <source>Замените файл %1 исправной копией.</source>
        <translation>Replace the file %1 with a sound copy.</translation>
    </message>
    <message>
        <source>В файлах данных нет ни одной карты с целями: задания создавать невозможно.</source>
        <translation>The data files hold no map with targets: missions cannot be created.</translation>
    </message>
    <message>
        <source>Замените файлы данных исправными копиями из поставки ZELK.</source>
        <translation>Replace the data files with sound copies from the ZELK distribution.</translation>
    </message>
    <message>
        <source>Папка симулятора %1 не найдена.</source>
        <translation>The simulator folder %1 was not found.</translation>
    </message>
    <message>
        <source>Установите ZELK в подпапку папки симулятора (например, &lt;симулятор&gt;\ZELK\) или укажите папку симулятора параметром --root.</source>
        <translation>Install ZELK into a subfolder of the simulator folder (for example, &lt;simulator&gt;\ZELK\) or name the simulator folder with the option --root.</translation>
    </message>
    <message>
        <source>Программа симулятора %1 на месте.</source>
        <translation>The simulator program %1 is in place.</translation>
    </message>
    <message>
        <source>Программа симулятора %1 не найдена: кнопка «Пуск» не сработает.</source>
        <translation>The simulator program %1 was not found: the “Start” button will not work.</translation>
    </message>
    <message>
        <source>Проверьте, что это папка симулятора: в ней должен лежать orvaksim.exe. ZELK ставится в её подпапку; другую папку можно указать параметром --root.</source>
        <translation>Check that this is the simulator folder: orvaksim.exe must be in it. ZELK goes into its subfolder; another folder can be named with the option --root.</translation>
    </message>
    <message>
        <source>Файл настроек симулятора %1 не найден: неизвестно, где симулятор ведёт журнал событий, и автогенерация не сработает.</source>
        <translation>The simulator settings file %1 was not found: where the simulator keeps its event log is unknown, and auto-generation will not work.</translation>
    </message>
    <message>
        <source>Запустите симулятор один раз, чтобы он создал conf.ini, затем добавьте в раздел [game] строку eventlog=eventlog.lst.</source>
        <translation>Start the simulator once so that it creates conf.ini, then add the line eventlog=eventlog.lst to section [game].</translation>
    </message>
    <message>
        <source>Файл настроек симулятора %1 не читается (%2): автогенерация не узнает, где журнал событий.</source>
        <translation>The simulator settings file %1 cannot be read (%2): auto-generation will not learn where the event log is.</translation>
    </message>
    <message>
        <source>Дайте права на чтение файла %1 или замените его обычным файлом.</source>
        <translation>Allow reading the file %1 or replace it with a plain file.</translation>
    </message>
    <message>
        <source>В разделе [game] файла %1 не задан ключ eventlog: симулятор не ведёт журнал событий, и автогенерация не сработает.</source>
        <translation>Key eventlog is not set in section [game] of file %1: the simulator keeps no event log, and auto-generation will not work.</translation>
    </message>
    <message>
        <source>Добавьте в раздел [game] файла %1 строку eventlog=eventlog.lst (и, по желанию, eventlogkeep=1), затем перезапустите симулятор.</source>
        <translation>Add the line eventlog=eventlog.lst (and, if you wish, eventlogkeep=1) to section [game] of file %1, then restart the simulator.</translation>
    </message>
    <message>
        <source>Файл настроек %1 прочитан, журнал событий задан: eventlog=%2.</source>
        <translation>Settings file %1 read, the event log is set: eventlog=%2.</translation>
    </message>
    <message>
        <source>Папки %1, в которой должен лежать журнал событий, нет: симулятор не сможет его записать, и автогенерация не сработает.</source>
        <translation>The folder %1, where the event log must be, does not exist: the simulator cannot write it, and auto-generation will not work.</translation>
    </message>
    <message>
        <source>Создайте папку %1 или укажите в ключе eventlog файла conf.ini имя в существующей папке (например, eventlog=eventlog.lst).</source>
        <translation>Create the folder %1 or give key eventlog of conf.ini a name in an existing folder (for example, eventlog=eventlog.lst).</translation>
    </message>
    <message>
        <source>eventlogkeep=1: симулятор дописывает журнал от полёта к полёту; автогенерация учитывает только строки, добавленные после её включения.</source>
        <translation>eventlogkeep=1: the simulator adds to the log from flight to flight; auto-generation counts only the lines added after it is switched on.</translation>
    </message>
    <message>
        <source>eventlogkeep=0 (или ключа нет): симулятор начинает журнал заново при каждом запуске; автогенерация читает его с начала.</source>
        <translation>eventlogkeep=0 (or no key): the simulator starts the log anew at each start; auto-generation reads it from the beginning.</translation>
    </message>
    <message>
        <source>Папки заданий %1 ещё нет; программа создаст её при запуске.</source>
        <translation>The mission folder %1 does not exist yet; the program will create it at start-up.</translation>
    </message>
    <message>
        <source>Папки заданий %1 нет, и создать её невозможно: папка %2 закрыта для записи.</source>
        <translation>The mission folder %1 does not exist and cannot be created: folder %2 is not writable.</translation>
    </message>
    <message>
        <source>Создайте папку %1 или разрешите запись в папку %2.</source>
        <translation>Create the folder %1 or allow writing to folder %2.</translation>
    </message>
    <message>
        <source>На месте папки заданий %1 лежит файл: задания некуда сохранять.</source>
        <translation>A file lies where the mission folder %1 should be: missions have nowhere to be saved.</translation>
    </message>
    <message>
        <source>Переименуйте или удалите файл %1; программа создаст папку сама.</source>
        <translation>Rename or delete the file %1; the program will create the folder itself.</translation>
    </message>
    <message>
        <source>Папку заданий %1 невозможно просмотреть (%2): готовые задания не будут видны.</source>
        <translation>The mission folder %1 cannot be listed (%2): the missions made will not be seen.</translation>
    </message>
    <message>
        <source>Дайте права на чтение и просмотр папки %1.</source>
        <translation>Allow reading and listing of folder %1.</translation>
    </message>
    <message>
        <source>Папка заданий %1 закрыта для записи: задания не сохранятся.</source>
        <translation>The mission folder %1 is not writable: missions will not be saved.</translation>
    </message>
    <message>
        <source>Снимите с папки %1 атрибут «Только чтение» (в Linux: chmod u+w) или дайте права на запись.</source>
        <translation>Clear the “Read-only” attribute of folder %1 (on Linux: chmod u+w) or allow writing.</translation>
    </message>
    <message>
        <source>Папка заданий %1 на месте, просматривается, запись в неё разрешена.</source>
        <translation>The mission folder %1 is in place, can be listed and written.</translation>
    </message>
    <message>
        <source>Свободно на диске: %1.</source>
        <translation>Free on the disk: %1.</translation>
    </message>
    <message>
        <source>На диске папки заданий свободно всего %1: задания могут не сохраниться.</source>
        <translation>Only %1 free on the mission folder&apos;s disk: missions may fail to save.</translation>
    </message>
    <message>
        <source>Освободите место на диске.</source>
        <translation>Free some disk space.</translation>
    </message>
    <message>
        <source>Заданий в папке пока нет; номера начнутся с 1.</source>
        <translation>No missions in the folder yet; numbers will start at 1.</translation>
    </message>
    <message>
        <source>Удалите ненужные задания с самыми большими номерами: новые получают номер после наибольшего.</source>
        <translation>Delete unneeded missions with the highest numbers: a new one takes the number after the highest.</translation>
    </message>
    <message>
        <source>Файл %1 пропускается при чтении папки: %2.</source>
        <translation>File %1 is skipped when the folder is read: %2.</translation>
    </message>
    <message>
        <source>И ещё пропускаемых файлов: %1.</source>
        <translation>And more skipped files: %1.</translation>
    </message>
    <message>
        <source>он только для чтения</source>
        <translation>it is read-only</translation>
    </message>
    <message>
        <source>Если это задание ZELK, снимите с файла атрибут «Только чтение» (в Linux: chmod u+w).</source>
        <translation>If this is a ZELK mission, clear the file&apos;s “Read-only” attribute (on Linux: chmod u+w).</translation>
    </message>
    <message>
        <source>это не обычный файл (папка, ссылка или устройство)</source>
        <translation>it is not a plain file (a folder, link or device)</translation>
    </message>
    <message>
        <source>Уберите его из папки заданий.</source>
        <translation>Remove it from the mission folder.</translation>
    </message>
    <message>
        <source>Переименуйте файл или уберите его из папки заданий.</source>
        <translation>Rename the file or remove it from the mission folder.</translation>
    </message>
    <message>
        <source>он не читается</source>
        <translation>it cannot be read</translation>
    </message>
    <message>
        <source>Дайте права на чтение файла.</source>
        <translation>Allow reading the file.</translation>
    </message>
    <message>
        <source>это тот же номер, что и у файла %1, в другом написании</source>
        <translation>it is the same number as file %1, written differently</translation>
    </message>
    <message>
        <source>Уберите лишний файл.</source>
        <translation>Remove the extra file.</translation>
    </message>
    <message>
        <source>У задания %1 нет файла описания %2: в списке оно будет под именем файла, без описания.</source>
        <translation>Mission %1 has no description file %2: it will be listed under its file name, without a description.</translation>
    </message>
    <message>
        <source>Сохраните задание заново в программе.</source>
        <translation>Save the mission again in the program.</translation>
    </message>
    <message>
        <source>Журнала событий %1 пока нет; симулятор создаст его при первом полёте.</source>
        <translation>The event log %1 does not exist yet; the simulator will create it at the first flight.</translation>
    </message>
    <message>
        <source>Выполните полёт в симуляторе; если журнал не появится, проверьте ключ eventlog в conf.ini.</source>
        <translation>Fly a mission in the simulator; if the log does not appear, check key eventlog in conf.ini.</translation>
    </message>
    <message>
        <source>На месте журнала событий %1 лежит не файл: симулятор не сможет вести журнал.</source>
        <translation>Something other than a file lies where the event log %1 should be: the simulator cannot keep its log.</translation>
    </message>
    <message>
        <source>Уберите %1 или укажите в ключе eventlog файла conf.ini другое имя.</source>
        <translation>Remove %1 or give key eventlog of conf.ini another name.</translation>
    </message>
    <message>
        <source>Журнал событий %1 не открывается для чтения (%2): автогенерация не включится.</source>
        <translation>The event log %1 cannot be opened for reading (%2): auto-generation will not switch on.</translation>
    </message>
    <message>
        <source>Дайте права на чтение файла %1.</source>
        <translation>Allow reading the file %1.</translation>
    </message>
    <message>
        <source>Журнал событий %1: %2, изменён %3.</source>
        <translation>Event log %1: %2, changed %3.</translation>
    </message>
    <message>
        <source>В журнале есть полёты заданий ZELK: начато %1, завершено %2; последнее задание %3.</source>
        <translation>The log holds flights of ZELK missions: %1 started, %2 ended; last mission %3.</translation>
    </message>
    <message>
        <source>В журнале есть полёты заданий ZELK: начато %1, завершено %2; задание %3 ещё в полёте (или полёт прерван).</source>
        <translation>The log holds flights of ZELK missions: %1 started, %2 ended; mission %3 is still in flight (or the flight was broken off).</translation>
    </message>
    <message>
        <source>В журнале пока нет полётов заданий ZELK.</source>
        <translation>The log holds no flights of ZELK missions yet.</translation>
    </message>
    <message>
        <source>%1 байт</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1 КБ</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 ГБ</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>(нет)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>Проверка установки ZELK</source>
        <translation>ZELK set-up check</translation>
    </message>
    <message>
        <source>Что сделать: </source>
        <translation>What to do: </translation>
    </message>
    <message>
        <source>Итог: всё, что нужно для работы, в порядке.</source>
        <translation>Result: everything needed to work is in order.</translation>
    </message>
    <message>
        <source>Итог: найдено ошибок: %1. Исправьте их, как сказано в пунктах «Что сделать».</source>
        <translation>Result: faults found: %1. Fix them as the “What to do” items say.</translation>
    </message>
    <message>
        <source> Предупреждений: %1.</source>
        <translation> Warnings: %1.</translation>
    </message>
    <message>
        <source>Журнал событий симулятора не настроен: автогенерация не узнает об окончании полётов.
Показать проверку установки?</source>
        <translation>The simulator&apos;s event log is not set up: auto-generation will not learn when flights end.
Show the set-up check?</translation>
    </message>
    <message>
        <source>Проверить снова</source>
        <translation>Check again</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Проверка установки</source>
        <translation>Set-up check</translation>
    </message>
    <message>
        <source>Проверить файлы данных, папки и настройки симулятора</source>
        <translation>Check the data files, folders and simulator settings</translation>
    </message>
    <message>
        <source>Файлы данных</source>
        <translation>Data files</translation>
    </message>
    <message>
        <source>Симулятор</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>Папка заданий</source>
        <translation>Mission folder</translation>
    </message>
    <message>
        <source>Журнал событий</source>
        <translation>Event log</translation>
    </message>
    <message>
        <source>ок</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>внимание</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>ОШИБКА</source>
        <translation>FAULT</translation>
    </message>
    <message>
        <source>нет доступа</source>
        <translation>access denied</translation>
    </message>
    <message>
        <source>не найден</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>не удалось открыть</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>это не файл</source>
        <translation>it is not a file</translation>
    </message>
    <message>
        <source>ошибка чтения</source>
        <translation>read error</translation>
    </message>
    <message>
        <source>Заданий в папке: %1; наибольший номер %2, до предела %4 осталось %3.</source>
        <translation>Missions in the folder: %1; highest number %2, %3 left before the limit of %4.</translation>
    </message>
    <message>
        <source>Наибольший номер задания %1: до предела %3 осталось всего %2.</source>
        <translation>Highest mission number %1: only %2 left before the limit of %3.</translation>
    </message>
    <message>
        <source>Наибольший номер задания %1: новые задания создавать невозможно.</source>
        <translation>Highest mission number is %1: new missions cannot be created.</translation>
    </message>
    <message>
        <source>в имени нет номера задания от %2 до %3 (zelkNNNN.mis)</source>
        <translation>the name has no mission number from %2 to %3 (zelkNNNN.mis)</translation>
    </message>
    <message>
        <source>Файла данных %1 нет, а цели %2 берут из него картинку и блоки объектов: задания на них не сохранятся.</source>
        <translation>Data file %1 is absent, yet targets %2 take their picture and object blocks from it: missions on them will not be saved.</translation>
    </message>
    <message>
        <source>Задания %1 летят на карте «%2», которой нет ни в одном файле данных; её файл %3 отсутствует. Эти задания нельзя изменить и сохранить заново, и автогенерация не перепишет их после полёта.</source>
        <translation>Missions %1 fly on map “%2”, which no data file holds; its file %3 is absent. These missions cannot be changed or saved again, and auto-generation will not rewrite them after a flight.</translation>
    </message>
    <message>
        <source>Верните %1 из поставки ZELK в папку %2 и запустите программу заново.</source>
        <translation>Put %1 from the ZELK distribution back into folder %2 and start the program again.</translation>
    </message>
    <message>
        <source>%d.%m.%Y %H:%M</source>
        <translation>%d %b %Y %H:%M</translation>
    </message>
</context>
<context>
    <name>generator</name>
    <message>
        <source>недопустимое смещение блока объектов %1</source>
        <translation>invalid object block offset %1</translation>
    </message>
    <message>
        <source>цель «%1» ссылается на файл данных с номером %2 (допустимо от 0 до 9)</source>
        <translation>target «%1» refers to data file number %2 (accepted from 0 to 9)</translation>
    </message>
    <message>
        <source>не удалось создать файл для записи</source>
        <translation>cannot create the file for writing</translation>
    </message>
    <message>
        <source>запись в файл не удалась</source>
        <translation>writing to the file failed</translation>
    </message>
    <message>
        <source>запись в файл не завершена</source>
        <translation>writing to the file was not completed</translation>
    </message>
    <message>
        <source>файл недоступен</source>
        <translation>the file is not accessible</translation>
    </message>
    <message>
        <source>не удалось открыть файл для чтения</source>
        <translation>cannot open the file for reading</translation>
    </message>
    <message>
        <source>чтение файла не удалось</source>
        <translation>reading the file failed</translation>
    </message>
    <message>
        <source>файл защищён от записи, он не заменён</source>
        <translation>the file is write-protected, it was not replaced</translation>
    </message>
    <message>
        <source>не удалось заменить файл новым</source>
        <translation>cannot replace the file with the new one</translation>
    </message>
    <message>
        <source>не удалось создать файл</source>
        <translation>cannot create the file</translation>
    </message>
    <message>
        <source>файл уже существует, он не заменён</source>
        <translation>the file already exists, it was not replaced</translation>
    </message>
    <message>
        <source>у задания не указана цель на карте «%1»</source>
        <translation>the mission names no target on map «%1»</translation>
    </message>
    <message>
        <source>цель «%1» на карте «%2» недоступна: эта карта не загружена (её файл данных повреждён или отсутствует)</source>
        <translation>target «%1» on map «%2» is not available: this map is not loaded (its data file is damaged or missing)</translation>
    </message>
    <message>
        <source>цель «%1» недоступна: на карте «%2» такой цели нет в загруженных файлах данных (её файл повреждён или отсутствует)</source>
        <translation>target «%1» is not available: map «%2» has no such target in the loaded data files (its file is damaged or missing)</translation>
    </message>
    <message>
        <source>%1. Задание нельзя сохранить; выберите другую цель или восстановите файлы данных.</source>
        <translation>%1. The mission cannot be saved; choose another target or restore the data files.</translation>
    </message>
    <message>
        <source>не удалось создать файл блокировки</source>
        <translation>could not create the lock file</translation>
    </message>
    <message>
        <source>задание занято другой программой, попробуйте еще раз</source>
        <translation>the mission is busy in another program, try again</translation>
    </message>
    <message>
        <source>не обычный файл, он не прочитан</source>
        <translation>not a regular file, not read</translation>
    </message>
    <message>
        <source>не удалось сохранить копию файла</source>
        <translation>could not keep a copy of the file</translation>
    </message>
    <message>
        <source>нет свободного номера задания до %1</source>
        <translation>no free mission number up to %1</translation>
    </message>
    <message>
        <source>не удалось удалить файл</source>
        <translation>could not delete the file</translation>
    </message>
</context>
<context>
    <name>launch</name>
    <message>
        <source>не удаётся открыть журнал событий авиасимулятора</source>
        <translation>cannot open the simulator&apos;s event log</translation>
    </message>
    <message>
        <source>не удаётся узнать размер журнала событий</source>
        <translation>cannot find out the size of the event log</translation>
    </message>
    <message>
        <source>не удаётся перейти к позиции в журнале событий</source>
        <translation>cannot move to a position in the event log</translation>
    </message>
    <message>
        <source>ошибка чтения журнала событий</source>
        <translation>event log read error</translation>
    </message>
</context>
<context>
    <name>library</name>
    <message>
        <source>у цели «%1» нет варианта «%2, %3, %4»: для него в справочных данных нет объектов цели. Выберите другое движение, тип задания или сложность.</source>
        <translation>target «%1» has no variant «%2, %3, %4»: the reference data hold no target objects for it. Choose another movement, mission type or difficulty.</translation>
    </message>
    <message>
        <source>задание с таким именем файла не найдено в списке</source>
        <translation>no mission with this file name in the list</translation>
    </message>
    <message>
        <source>задание не сохранено: %1</source>
        <translation>mission not saved: %1</translation>
    </message>
    <message>
        <source>Не сохранено %1 задание!<byte value="xd"/>Сохранить его для Вас?</source>
        <translation>%1 mission not saved!<byte value="xd"/>Save it for you?</translation>
    </message>
    <message>
        <source>Не сохранены %1 задания!<byte value="xd"/>Сохранить их для Вас?</source>
        <translation>%1 missions not saved!<byte value="xd"/>Save them for you?</translation>
    </message>
    <message>
        <source>Не сохранены %1 заданий!<byte value="xd"/>Сохранить их для Вас?</source>
        <translation>%1 missions not saved!<byte value="xd"/>Save them for you?</translation>
    </message>
    <message>
        <source>не удалось открыть файл для чтения</source>
        <translation>cannot open the file for reading</translation>
    </message>
    <message>
        <source>чтение файла не удалось</source>
        <translation>reading the file failed</translation>
    </message>
    <message>
        <source>не удалось открыть журнал для записи</source>
        <translation>cannot open the journal for writing</translation>
    </message>
    <message>
        <source>запись в журнал не удалась</source>
        <translation>writing to the journal failed</translation>
    </message>
    <message>
        <source>Папку ZELK невозможно создать!</source>
        <translation>The ZELK folder cannot be created!</translation>
    </message>
    <message>
        <source>нет прав на чтение папки</source>
        <translation>no permission to read the folder</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>не хватает памяти</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>ошибка %1</source>
        <translation>error %1</translation>
    </message>
    <message>
        <source>ошибка чтения</source>
        <translation>read error</translation>
    </message>
    <message>
        <source>Папку ZELK невозможно прочитать (%1)!</source>
        <translation>The ZELK folder cannot be read (%1)!</translation>
    </message>
    <message>
        <source><byte value="xd"/>
 Не забудьте сохранить это задание!</source>
        <translation><byte value="xd"/>
 Do not forget to save this mission!</translation>
    </message>
    <message>
        <source>журнал не обычный файл, он не открыт</source>
        <translation>the journal is not a regular file, not opened</translation>
    </message>
    <message>
        <source>не удалось открыть журнал для чтения</source>
        <translation>could not open the journal for reading</translation>
    </message>
    <message>
        <source>Исчерпан лимит номеров заданий ZELK - %1!<byte value="xd"/>
Удалите лишние задания из папки ZELK.</source>
        <translation>The limit of ZELK mission numbers, %1, is used up!<byte value="xd"/>
Delete unneeded missions from the ZELK folder.</translation>
    </message>
    <message>
        <source>чтение журнала не удалось</source>
        <translation>reading the journal failed</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить %1 задание?</source>
        <translation>Do you really want to delete %1 mission?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить %1 задания?</source>
        <translation>Do you really want to delete %1 missions?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить %1 заданий?</source>
        <translation>Do you really want to delete %1 missions?</translation>
    </message>
    <message>
        <source>папка не найдена</source>
        <translation>folder not found</translation>
    </message>
</context>
<context>
    <name>logbook</name>
    <message>
        <source>не удалось открыть лётную книжку для записи</source>
        <translation>could not open the logbook for writing</translation>
    </message>
    <message>
        <source>запись в лётную книжку не удалась</source>
        <translation>writing to the logbook failed</translation>
    </message>
    <message>
        <source>это не файл журнала событий</source>
        <translation>this is not an event log file</translation>
    </message>
    <message>
        <source>журнал событий слишком велик или недоступен</source>
        <translation>the event log is too large or cannot be reached</translation>
    </message>
    <message>
        <source>не удаётся открыть журнал событий</source>
        <translation>cannot open the event log</translation>
    </message>
    <message>
        <source>ошибка чтения журнала событий</source>
        <translation>error reading the event log</translation>
    </message>
    <message>
        <source>утро</source>
        <translation>morning</translation>
    </message>
    <message>
        <source>день</source>
        <translation>day</translation>
    </message>
    <message>
        <source>вечер</source>
        <translation>evening</translation>
    </message>
    <message>
        <source>ночь</source>
        <translation>night</translation>
    </message>
    <message>
        <source> (движется)</source>
        <translation> (moving)</translation>
    </message>
    <message>
        <source>цель</source>
        <translation>target</translation>
    </message>
    <message>
        <source>тип задания</source>
        <translation>mission type</translation>
    </message>
    <message>
        <source>вылет</source>
        <translation>sortie</translation>
    </message>
    <message>
        <source>самолёт</source>
        <translation>aircraft</translation>
    </message>
    <message>
        <source>время суток</source>
        <translation>time of day</translation>
    </message>
    <message>
        <source>погода</source>
        <translation>weather</translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>частично</source>
        <translation>partly</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>не знаю</source>
        <translation>don&apos;t know</translation>
    </message>
    <message>
        <source>без отметки</source>
        <translation>not marked</translation>
    </message>
</context>
<context>
    <name>mission</name>
    <message>
        <source>«номер файла»</source>
        <translation>«file number»</translation>
    </message>
    <message>
        <source>«карта»</source>
        <translation>«map»</translation>
    </message>
    <message>
        <source>«цель»</source>
        <translation>«target»</translation>
    </message>
    <message>
        <source>«движение цели»</source>
        <translation>«target movement»</translation>
    </message>
    <message>
        <source>«тип задания»</source>
        <translation>«mission type»</translation>
    </message>
    <message>
        <source>«сложность»</source>
        <translation>«difficulty»</translation>
    </message>
    <message>
        <source>«самолет»</source>
        <translation>«aircraft»</translation>
    </message>
    <message>
        <source>«армия»</source>
        <translation>«army»</translation>
    </message>
    <message>
        <source>«ведомые»</source>
        <translation>«wingmen»</translation>
    </message>
    <message>
        <source>«высота»</source>
        <translation>«altitude»</translation>
    </message>
    <message>
        <source>«облачность»</source>
        <translation>«cloud base»</translation>
    </message>
    <message>
        <source>«время»</source>
        <translation>«time»</translation>
    </message>
    <message>
        <source>«погода»</source>
        <translation>«weather»</translation>
    </message>
    <message>
        <source>«танки»</source>
        <translation>«tanks»</translation>
    </message>
    <message>
        <source>«случайный маршрут»</source>
        <translation>«random route»</translation>
    </message>
    <message>
        <source>«истребители»</source>
        <translation>«fighters»</translation>
    </message>
    <message>
        <source>«комментарий»</source>
        <translation>«comment»</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (допустимо от %3 до %4)</source>
        <translation>invalid mission parameter %1: %2 (accepted from %3 to %4)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (допустим текст в одну строку без управляющих символов)</source>
        <translation>invalid mission parameter %1: %2 (accepted: text on one line without control characters)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (допустимо одно из: %3)</source>
        <translation>invalid mission parameter %1: %2 (accepted: one of %3)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (вражеские истребители бывают только в боевом вылете; в учебном допустимо 0)</source>
        <translation>invalid mission parameter %1: %2 (enemy fighters fly only in a combat sortie; a training sortie accepts 0)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (допустим ключ карты из загруженных файлов данных)</source>
        <translation>invalid mission parameter %1: %2 (accepted: a map key of the loaded data files)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (допустима цель карты %3 из загруженных файлов данных)</source>
        <translation>invalid mission parameter %1: %2 (accepted: a target of map %3 in the loaded data files)</translation>
    </message>
    <message>
        <source>недопустимое сочетание параметров задания %1, %2 и %3: %4 (цель %5 предлагает: %6)</source>
        <translation>invalid combination of mission parameters %1, %2 and %3: %4 (target %5 offers: %6)</translation>
    </message>
    <message>
        <source>ничего</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 (для типа задания %3 допустимо: %4)</source>
        <translation>invalid mission parameter %1: %2 (accepted for mission type %3: %4)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: управляющий символ в строке %2 (допустим текст без управляющих символов, кроме табуляции)</source>
        <translation>invalid mission parameter %1: a control character in line %2 (accepted: text without control characters other than a tab)</translation>
    </message>
    <message>
        <source>недопустимое значение параметра задания %1: %2 знаков (допустимо не более %3, перевод строки считается за 2)</source>
        <translation>invalid mission parameter %1: %2 characters (accepted: at most %3, a line break counts as 2)</translation>
    </message>
</context>
<context>
    <name>pilotfiles</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>нужно целое число или «любая»</source>
        <translation>an integer or «любая» (any) is needed</translation>
    </message>
    <message>
        <source>%1 вне допустимого: от %2 до %3</source>
        <translation>%1 out of range: from %2 to %3</translation>
    </message>
    <message>
        <source>нужна строка в кавычках</source>
        <translation>a quoted string is needed</translation>
    </message>
    <message>
        <source>пустая строка или символ, которого нет в кодировке Windows-1251</source>
        <translation>an empty string or a character not in Windows-1251</translation>
    </message>
    <message>
        <source>нужна высота облаков из списка %1, %2 … %3 или «любая»</source>
        <translation>a cloud base from the list %1, %2 … %3 or «любая» (any) is needed</translation>
    </message>
    <message>
        <source>вражеские истребители бывают только в боевом вылете (difficulty = 1)</source>
        <translation>enemy fighters come only in a combat sortie (difficulty = 1)</translation>
    </message>
    <message>
        <source>файл больше %1 МБ: это не файл шаблонов</source>
        <translation>the file is larger than %1 MB: not a templates file</translation>
    </message>
    <message>
        <source>шаблоны пишутся как таблицы [[template]]</source>
        <translation>templates are written as tables [[template]]</translation>
    </message>
    <message>
        <source>у шаблона нет имени (name = &quot;...&quot;)</source>
        <translation>the template has no name (name = &quot;...&quot;)</translation>
    </message>
    <message>
        <source>второй шаблон с именем «%1»</source>
        <translation>a second template named «%1»</translation>
    </message>
    <message>
        <source># Шаблоны условий ZELK. Ключи названы как параметры zelk-cli new; условие
# «любая» (или пропущенное) выбирается для каждого задания случайно.
</source>
        <translation># ZELK templates of conditions. The keys are named as the options of zelk-cli new;
# a condition «любая» (any), or one left out, is drawn for each mission.
</translation>
    </message>
    <message>
        <source>пустое имя шаблона</source>
        <translation>empty template name</translation>
    </message>
    <message>
        <source>имя шаблона длиннее 200 байт</source>
        <translation>template name longer than 200 bytes</translation>
    </message>
    <message>
        <source>в имени шаблона управляющий символ или перевод строки</source>
        <translation>a control character or line break in the template name</translation>
    </message>
    <message>
        <source>строка %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>символ %1 из области для частного использования недопустим</source>
        <translation>character %1 from the private use area is not accepted</translation>
    </message>
    <message>
        <source>ошибка синтаксиса TOML: %1</source>
        <translation>TOML syntax error: %1</translation>
    </message>
    <message>
        <source>неизвестный ключ «%1»; допустимы: %2</source>
        <translation>unknown key «%1»; accepted: %2</translation>
    </message>
    <message>
        <source>имя шаблона не в кодировке UTF-8</source>
        <translation>the template name is not UTF-8</translation>
    </message>
    <message>
        <source>файла программы нет</source>
        <translation>the programme file does not exist</translation>
    </message>
    <message>
        <source>файл больше 1 МБ: это не программа</source>
        <translation>the file is larger than 1 MB: it is no programme</translation>
    </message>
    <message>
        <source>не удалось прочитать файл программы</source>
        <translation>could not read the programme file</translation>
    </message>
    <message>
        <source>name: нужен текст</source>
        <translation>name: text needed</translation>
    </message>
    <message>
        <source>advance_after: нужно целое от 0 до 100 (0: шаги меняет только пилот)</source>
        <translation>advance_after: an integer from 0 to 100 is needed (0: only the pilot changes steps)</translation>
    </message>
    <message>
        <source>шаги программы пишутся как таблицы [[step]], хотя бы одна</source>
        <translation>the programme&apos;s steps are written as [[step]] tables, at least one</translation>
    </message>
</context>
<context>
    <name>preview</name>
    <message>
        <source>Истребители: </source>
        <translation>Fighters: </translation>
    </message>
    <message>
        <source> м</source>
        <translation> m</translation>
    </message>
    <message>
        <source>Старт, </source>
        <translation>Start, </translation>
    </message>
    <message>
        <source>, атака, курс </source>
        <translation>, attack, heading </translation>
    </message>
    <message>
        <source> км</source>
        <translation> km</translation>
    </message>
    <message>
        <source>С</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Сетка </source>
        <translation>Grid </translation>
    </message>
    <message>
        <source>, время </source>
        <translation>, time </translation>
    </message>
    <message>
        <source>Район цели</source>
        <translation>Target area</translation>
    </message>
    <message>
        <source>сетка </source>
        <translation>grid </translation>
    </message>
</context>
<context>
    <name>programme</name>
    <message>
        <source>в программе «%1» нет шага %2</source>
        <translation>the programme «%1» has no step %2</translation>
    </message>
    <message>
        <source>в файлах данных нет ни одной цели</source>
        <translation>the data files hold no target</translation>
    </message>
    <message>
        <source>не удалось открыть файл состояния программы для записи</source>
        <translation>could not open the programme&apos;s state file for writing</translation>
    </message>
    <message>
        <source>запись состояния программы не удалась</source>
        <translation>writing the programme&apos;s state failed</translation>
    </message>
    <message>
        <source>«да» подряд: %1 из %2</source>
        <translation>«yes» in a row: %1 of %2</translation>
    </message>
    <message>
        <source>шаг удержан пилотом</source>
        <translation>step held by the pilot</translation>
    </message>
    <message>
        <source>последний шаг программы</source>
        <translation>the programme&apos;s last step</translation>
    </message>
    <message>
        <source>на этом шаге ещё нет полётов</source>
        <translation>no flights at this step yet</translation>
    </message>
    <message>
        <source>полёт %1 ждёт отметки</source>
        <translation>flight %1 awaits its mark</translation>
    </message>
    <message>
        <source>%1 «да» подряд: следующий шаг</source>
        <translation>%1 «yes» in a row: next step</translation>
    </message>
    <message>
        <source>Программа подготовки не начата.</source>
        <translation>No training programme started.</translation>
    </message>
    <message>
        <source>Программа «%1»: шаг %2 из %3, «%4»; %5.</source>
        <translation>Programme «%1»: step %2 of %3, «%4»; %5.</translation>
    </message>
    <message>
        <source>Программа «%1»: шаг %2 из %3; %4.</source>
        <translation>Programme «%1»: step %2 of %3; %4.</translation>
    </message>
</context>
<context>
    <name>zelk::TAutoGeneration</name>
    <message>
        <source>Проблема</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>
Режим автогенерации не включён.</source>
        <translation>
Auto-generation was not switched on.</translation>
    </message>
    <message>
        <source>
Режим автогенерации выключен.</source>
        <translation>
Auto-generation is switched off.</translation>
    </message>
    <message>
        <source>Задание %1 не удалось записать заново.
</source>
        <translation>Mission %1 could not be written again.
</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Сохранить их перед включением автогенерации? Несохранённые правки не попадут в полёт.</source>
        <translation>Save them before auto-generation is switched on? Unsaved edits are not what is flown.</translation>
    </message>
    <message>
        <source>Запрос</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Режим автогенерации выключен.</source>
        <translation>Auto-generation is off.</translation>
    </message>
    <message>
        <source>Режим автогенерации включён, правка заданий закрыта.
Записано заданий: %1</source>
        <translation>Auto-generation is on, editing missions is locked.
Missions written: %1</translation>
    </message>
    <message>
        <source>, последнее в %1</source>
        <translation>, the last at %1</translation>
    </message>
</context>
<context>
    <name>zelk::TCardDialog</name>
    <message>
        <source>Карточка задания %1</source>
        <translation>Kneeboard card of mission %1</translation>
    </message>
    <message>
        <source>Размер:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>A5 (книжная)</source>
        <translation>A5 (portrait)</translation>
    </message>
    <message>
        <source>A4 (книжная)</source>
        <translation>A4 (portrait)</translation>
    </message>
    <message>
        <source>Печать...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>Сохранить PDF...</source>
        <translation>Save PDF...</translation>
    </message>
    <message>
        <source>Сохранить PNG...</source>
        <translation>Save PNG...</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Документ PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Рисунок PNG (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Принтер не удалось подготовить к печати.</source>
        <translation>The printer could not be made ready to print.</translation>
    </message>
    <message>
        <source>Сохранить карточку</source>
        <translation>Save the card</translation>
    </message>
    <message>
        <source>Проблема</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>Карточка не пишется в папку заданий и не заменяет файлы данных, журнал или шаблоны: %1</source>
        <translation>A card is never written into the mission folder and never replaces the data files, the journal or the templates: %1</translation>
    </message>
    <message>
        <source>Карточку не удалось записать в файл %1: допустимы файлы .pdf и .png</source>
        <translation>The card could not be written to file %1: .pdf and .png files are accepted</translation>
    </message>
</context>
<context>
    <name>zelk::TDebriefDialog</name>
    <message>
        <source>Разбор полёта</source>
        <translation>Debrief</translation>
    </message>
    <message>
        <source>&amp;Да</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Частично</source>
        <translation>&amp;Partly</translation>
    </message>
    <message>
        <source>&amp;Нет</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Не &amp;знаю</source>
        <translation>&amp;Don&apos;t know</translation>
    </message>
    <message>
        <source>&amp;Заметка:</source>
        <translation>N&amp;ote:</translation>
    </message>
    <message>
        <source>&amp;Позже</source>
        <translation>&amp;Later</translation>
    </message>
    <message>
        <source>Полёт #%1 (%2) окончен: %3.
Цель поражена?</source>
        <translation>Flight #%1 (%2) is over: %3.
Target hit?</translation>
    </message>
</context>
<context>
    <name>zelk::TDrawings</name>
    <message>
        <source>Изображение отсутствует</source>
        <translation>No image available</translation>
    </message>
</context>
<context>
    <name>zelk::TInstanceGuard</name>
    <message>
        <source>Ошибка создания Mutex.</source>
        <translation>Mutex creation error.</translation>
    </message>
    <message>
        <source>Ошибка поиска стандартного обработчика сообщений приложения.</source>
        <translation>Error finding the application&apos;s standard message handler.</translation>
    </message>
</context>
<context>
    <name>zelk::TLogMonitor</name>
    <message>
        <source>не удаётся запустить наблюдение за журналом событий</source>
        <translation>cannot start watching the event log</translation>
    </message>
    <message>
        <source>Не удаётся следить за изменениями в папке «%1».</source>
        <translation>Cannot watch for changes in folder «%1».</translation>
    </message>
    <message>
        <source>Папка «%1» больше не существует.</source>
        <translation>Folder «%1» no longer exists.</translation>
    </message>
    <message>
        <source>Ошибка при разборе журнала событий.</source>
        <translation>Error while parsing the event log.</translation>
    </message>
    <message>
        <source>Неизвестная ошибка при разборе журнала событий.</source>
        <translation>Unknown error while parsing the event log.</translation>
    </message>
</context>
<context>
    <name>zelk::TLogbookDialog</name>
    <message>
        <source>Лётная книжка</source>
        <translation>Logbook</translation>
    </message>
    <message>
        <source>№</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Начало</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>Задание</source>
        <translation>Mission</translation>
    </message>
    <message>
        <source>Налёт</source>
        <translation>Flown</translation>
    </message>
    <message>
        <source>Цель поражена</source>
        <translation>Target hit</translation>
    </message>
    <message>
        <source>Условия, заметка</source>
        <translation>Conditions, note</translation>
    </message>
    <message>
        <source>&amp;Отметить...</source>
        <translation>&amp;Mark...</translation>
    </message>
    <message>
        <source>По&amp;вторить</source>
        <translation>Re&amp;peat</translation>
    </message>
    <message>
        <source>&amp;Импорт журнала событий...</source>
        <translation>&amp;Import event log...</translation>
    </message>
    <message>
        <source>Записать задание точно в том варианте, что был в этом полёте</source>
        <translation>Write the mission exactly in the variant flown in this flight</translation>
    </message>
    <message>
        <source>По&amp;лёты</source>
        <translation>&amp;Flights</translation>
    </message>
    <message>
        <source>Условие</source>
        <translation>Condition</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Полётов</source>
        <translation>Flights</translation>
    </message>
    <message>
        <source>Отмечено</source>
        <translation>Marked</translation>
    </message>
    <message>
        <source>Поражено</source>
        <translation>Hit</translation>
    </message>
    <message>
        <source>&amp;Итоги</source>
        <translation>&amp;Totals</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>все полёты</source>
        <translation>all flights</translation>
    </message>
    <message>
        <source>%1 мин</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>Этот вариант пилот летал один раз.</source>
        <translation>The pilot has flown this variant once.</translation>
    </message>
    <message>
        <source>Попытки этого варианта: %1</source>
        <translation>Attempts at this variant: %1</translation>
    </message>
</context>
<context>
    <name>zelk::TLogbookUi</name>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>частично</source>
        <translation>partly</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>не знаю</source>
        <translation>don&apos;t know</translation>
    </message>
    <message>
        <source>без отметки</source>
        <translation>not marked</translation>
    </message>
    <message>
        <source>не закончен</source>
        <translation>not finished</translation>
    </message>
    <message>
        <source>в полёте</source>
        <translation>in flight</translation>
    </message>
    <message>
        <source>%1 мин</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>вариант неизвестен</source>
        <translation>variant not known</translation>
    </message>
    <message>
        <source>Полёты по неделям (столбцы) и доля поражений (линия), последние %1 недель</source>
        <translation>Flights per week (bars) and share of targets hit (line), last %1 weeks</translation>
    </message>
    <message>
        <source>П&amp;рограмма...</source>
        <translation>P&amp;rogramme...</translation>
    </message>
    <message>
        <source>Де&amp;ржать</source>
        <translation>&amp;Hold</translation>
    </message>
    <message>
        <source>На&amp;зад</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>Даль&amp;ше</source>
        <translation>Ne&amp;xt</translation>
    </message>
    <message>
        <source>С&amp;топ</source>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>Начать программу подготовки из файла (TOML)</source>
        <translation>Start a training programme from a file (TOML)</translation>
    </message>
    <message>
        <source>Последние полёты (Ctrl+L: вся книжка):</source>
        <translation>Last flights (Ctrl+L: the whole logbook):</translation>
    </message>
    <message>
        <source>&amp;Отметить...</source>
        <translation>&amp;Mark...</translation>
    </message>
    <message>
        <source>По&amp;вторить</source>
        <translation>Re&amp;peat</translation>
    </message>
    <message>
        <source>&amp;Книжка...</source>
        <translation>Log&amp;book...</translation>
    </message>
    <message>
        <source>Лётная книжка</source>
        <translation>Logbook</translation>
    </message>
    <message>
        <source>Журнал событий авиасимулятора</source>
        <translation>The simulator&apos;s event log</translation>
    </message>
    <message>
        <source>Из журнала записано полётов: %1, дополнено: %2, уже были: %3.</source>
        <translation>Flights recorded from the log: %1, completed: %2, already there: %3.</translation>
    </message>
    <message>
        <source>Программа подготовки</source>
        <translation>Training programme</translation>
    </message>
    <message>
        <source>Программа (*.toml);;Все файлы (*)</source>
        <translation>Programme (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>Полёт не записан в лётную книжку: %1</source>
        <translation>The flight was not recorded in the logbook: %1</translation>
    </message>
    <message>
        <source>Лётную книжку негде вести: папка данных и папка пользователя закрыты для записи.</source>
        <translation>Nowhere to keep the logbook: the data folder and the user&apos;s folder cannot be written.</translation>
    </message>
    <message>
        <source>Программа: %1. Задание записано без неё.</source>
        <translation>Programme: %1. The mission was written without it.</translation>
    </message>
    <message>
        <source>Отметка не записана: %1</source>
        <translation>The mark was not recorded: %1</translation>
    </message>
    <message>
        <source>Состояние программы не записано: %1</source>
        <translation>The programme&apos;s state was not written: %1</translation>
    </message>
    <message>
        <source>Задания программы %1 нет в списке.</source>
        <translation>The programme&apos;s mission %1 is not in the list.</translation>
    </message>
    <message>
        <source>Задание программы не записано: %1</source>
        <translation>The programme&apos;s mission was not written: %1</translation>
    </message>
    <message>
        <source>Вариант этого полёта неизвестен: повторить его нельзя.</source>
        <translation>This flight&apos;s variant is not known: it cannot be repeated.</translation>
    </message>
    <message>
        <source>Задания %1 нет в списке.</source>
        <translation>The mission %1 is not in the list.</translation>
    </message>
    <message>
        <source>Задание %1 записано в варианте полёта #%2.</source>
        <translation>The mission %1 was written in the variant of flight #%2.</translation>
    </message>
    <message>
        <source>Задание не записано: %1</source>
        <translation>The mission was not written: %1</translation>
    </message>
    <message>
        <source>Выберите задание, которое программа будет писать.</source>
        <translation>Select the mission that the programme is to write.</translation>
    </message>
    <message>
        <source>Сохраните задание, прежде чем начать программу.</source>
        <translation>Save the mission before starting the programme.</translation>
    </message>
</context>
<context>
    <name>zelk::TMessageBox</name>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>zelk::TRootChoice</name>
    <message>
        <source>папка из --root</source>
        <translation>folder from --root</translation>
    </message>
    <message>
        <source>папка из ZELK_ROOT</source>
        <translation>folder from ZELK_ROOT</translation>
    </message>
    <message>
        <source>родитель папки программы</source>
        <translation>parent of the program&apos;s folder</translation>
    </message>
    <message>
        <source>папка, указанная в окне ZELK</source>
        <translation>folder chosen in the ZELK window</translation>
    </message>
    <message>
        <source>родитель папки программы, авиасимулятора в нем нет</source>
        <translation>parent of the program&apos;s folder, with no simulator in it</translation>
    </message>
</context>
<context>
    <name>zelk::TTemplatePickDialog</name>
    <message>
        <source>Создать из шаблона</source>
        <translation>Create from template</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>zelk::TTemplateSaveDialog</name>
    <message>
        <source>Сохранить как шаблон</source>
        <translation>Save as template</translation>
    </message>
    <message>
        <source>Имя шаблона:</source>
        <translation>Template name:</translation>
    </message>
    <message>
        <source>Отмеченные условия шаблон хранит как есть; неотмеченные — «любая»: в каждом задании по шаблону они выбираются случайно.</source>
        <translation>The template keeps the ticked conditions as they are; the unticked ones are «любая» (any): they are drawn for each mission made from the template.</translation>
    </message>
    <message>
        <source>Карта: %1</source>
        <translation>Map: %1</translation>
    </message>
    <message>
        <source>Цель: %1</source>
        <translation>Target: %1</translation>
    </message>
    <message>
        <source>Движение: %1</source>
        <translation>Movement: %1</translation>
    </message>
    <message>
        <source>Тип задания: %1</source>
        <translation>Mission type: %1</translation>
    </message>
    <message>
        <source>Сложность: %1</source>
        <translation>Difficulty: %1</translation>
    </message>
    <message>
        <source>Самолет: %1</source>
        <translation>Aircraft: %1</translation>
    </message>
    <message>
        <source>Армия: %1</source>
        <translation>Army: %1</translation>
    </message>
    <message>
        <source>Группа: %1</source>
        <translation>Flight: %1</translation>
    </message>
    <message>
        <source>Высота: %1 м</source>
        <translation>Altitude: %1 m</translation>
    </message>
    <message>
        <source>Облачность: %1 м</source>
        <translation>Cloud base: %1 m</translation>
    </message>
    <message>
        <source>Время: %1</source>
        <translation>Time: %1</translation>
    </message>
    <message>
        <source>Погода: %1</source>
        <translation>Weather: %1</translation>
    </message>
    <message>
        <source>Танки: %1</source>
        <translation>Tanks: %1</translation>
    </message>
    <message>
        <source>Случайный маршрут: %1</source>
        <translation>Random route: %1</translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Истребители противника: %1</source>
        <translation>Enemy fighters: %1</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>zelk::TVariantsPage</name>
    <message>
        <source>Щелчок или Ctrl+M: снимок цели или схема маршрута</source>
        <translation>Click or Ctrl+M: target photo or route drawing</translation>
    </message>
    <message>
        <source>ведомые: %1</source>
        <translation>wingmen: %1</translation>
    </message>
    <message>
        <source>высота %1 м</source>
        <translation>altitude %1 m</translation>
    </message>
    <message>
        <source>облака %1 м</source>
        <translation>clouds %1 m</translation>
    </message>
    <message>
        <source>танки: %1</source>
        <translation>tanks: %1</translation>
    </message>
    <message>
        <source>случайный маршрут</source>
        <translation>random route</translation>
    </message>
    <message>
        <source>постоянный маршрут</source>
        <translation>fixed route</translation>
    </message>
    <message>
        <source>истребители: %1</source>
        <translation>fighters: %1</translation>
    </message>
    <message>
        <source>комментарий</source>
        <translation>comment</translation>
    </message>
    <message>
        <source>те же условия</source>
        <translation>same conditions</translation>
    </message>
    <message>
        <source>dd.MM HH:mm</source>
        <translation>d MMM HH:mm</translation>
    </message>
    <message>
        <source>dd.MM.yy HH:mm</source>
        <translation>d MMM yyyy HH:mm</translation>
    </message>
    <message>
        <source>  (сид %1)</source>
        <translation>  (seed %1)</translation>
    </message>
    <message>
        <source>  (данные изменились)</source>
        <translation>  (data changed)</translation>
    </message>
    <message>
        <source>Варианты задания; сохранение запишет сид %1</source>
        <translation>Mission variants; the save will use seed %1</translation>
    </message>
    <message>
        <source>Варианты задания</source>
        <translation>Mission variants</translation>
    </message>
    <message>
        <source>Схема маршрута - %1</source>
        <translation>Route drawing - %1</translation>
    </message>
    <message>
        <source>Проблема</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>Цели «%1» этого варианта нет в файлах данных.</source>
        <translation>Target «%1» of this variant is not in the data files.</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Заменить комментарий задания комментарием варианта?

%1</source>
        <translation>Replace the mission&apos;s comment with the variant&apos;s comment?

%1</translation>
    </message>
</context>
<context>
    <name>zelk::TZELK_form</name>
    <message>
        <source>Список заданий</source>
        <translation>Missions</translation>
    </message>
    <message>
        <source>Список заданий, сгенерированных программой ZELK</source>
        <translation>Missions generated by ZELK</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Имя файла задания</source>
        <translation>Mission file name</translation>
    </message>
    <message>
        <source>Краткое описание задания</source>
        <translation>Mission summary</translation>
    </message>
    <message>
        <source>Краткое описание условий выбранного задания</source>
        <translation>Summary of the selected mission&apos;s conditions</translation>
    </message>
    <message>
        <source>Комментарии к заданию</source>
        <translation>Mission comments</translation>
    </message>
    <message>
        <source>Примерное изображение цели</source>
        <translation>Approximate picture of the target</translation>
    </message>
    <message>
        <source>Новое задание</source>
        <translation>New mission</translation>
    </message>
    <message>
        <source>Создать новое задание</source>
        <translation>Create a new mission</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Копировать задание в новый файл</source>
        <translation>Copy the mission to a new file</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Удалить отмеченные файлы заданий</source>
        <translation>Delete the marked mission files</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить задание в файле</source>
        <translation>Save the mission to its file</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Сохранить задание</source>
        <translation>Save the mission</translation>
    </message>
    <message>
        <source>Копировать задание</source>
        <translation>Copy the mission</translation>
    </message>
    <message>
        <source>Удалить отмеченные задания</source>
        <translation>Delete the marked missions</translation>
    </message>
    <message>
        <source>Параметры задания</source>
        <translation>Mission parameters</translation>
    </message>
    <message>
        <source>Дополнительно</source>
        <translation>Extra</translation>
    </message>
    <message>
        <source>Карта</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>Выбор карты района боевых действий</source>
        <translation>Choice of the combat area map</translation>
    </message>
    <message>
        <source>Армия, язык</source>
        <translation>Army, lang.</translation>
    </message>
    <message>
        <source>Выбор цвета армии и языка радиообмена</source>
        <translation>Choice of the army&apos;s colour and the radio language</translation>
    </message>
    <message>
        <source>Цель</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>Выбор цели для выполнения задания</source>
        <translation>Choice of the mission&apos;s target</translation>
    </message>
    <message>
        <source>движущаяся</source>
        <translation>moving</translation>
    </message>
    <message>
        <source>Выбор неподвижной или движущейся цели</source>
        <translation>Choice of a stationary or moving target</translation>
    </message>
    <message>
        <source>Вид задания</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Выбор вида задания</source>
        <translation>Choice of the mission type</translation>
    </message>
    <message>
        <source>Сложность</source>
        <translation>Difficulty</translation>
    </message>
    <message>
        <source>Выбр сложности задания</source>
        <translation>Choice of the mission difficulty</translation>
    </message>
    <message>
        <source>Самолет</source>
        <translation>Aircraft</translation>
    </message>
    <message>
        <source>Выбор самолета, доступного для выполнения задания</source>
        <translation>Choice of an aircraft offered for the mission</translation>
    </message>
    <message>
        <source>Ведомые</source>
        <translation>Wingmen</translation>
    </message>
    <message>
        <source>Выбор количества ведомых самолетов</source>
        <translation>Choice of the number of wingmen</translation>
    </message>
    <message>
        <source>Высота, м</source>
        <translation>Altitude, m</translation>
    </message>
    <message>
        <source>Время, ч</source>
        <translation>Time, h</translation>
    </message>
    <message>
        <source>Выбор времени начала задания</source>
        <translation>Choice of the mission&apos;s start time</translation>
    </message>
    <message>
        <source>Погода</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>Выбрать погодные условия</source>
        <translation>Choose the weather</translation>
    </message>
    <message>
        <source>Выбор погодных условий</source>
        <translation>Choice of the weather</translation>
    </message>
    <message>
        <source>Облака, м</source>
        <translation>Clouds, m</translation>
    </message>
    <message>
        <source>Выбор нижней границы облачности</source>
        <translation>Choice of the cloud base</translation>
    </message>
    <message>
        <source>Проблема</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>Комментарий может быть не длиннее %1 знаков (перевод строки - 2 знака): лишнее удалено.</source>
        <translation>A comment may be at most %1 characters long (a line break counts as 2): the rest was removed.</translation>
    </message>
    <message>
        <source>Состав танковых колонн красных</source>
        <translation>Red tank columns</translation>
    </message>
    <message>
        <source>Выбор состава танковых колонн красных</source>
        <translation>Choice of the red tank columns&apos; make-up</translation>
    </message>
    <message>
        <source>Состав танковых колонн синих</source>
        <translation>Blue tank columns</translation>
    </message>
    <message>
        <source>Выбор состава танковых колонн синих</source>
        <translation>Choice of the blue tank columns&apos; make-up</translation>
    </message>
    <message>
        <source>Случайный маршрут</source>
        <translation>Random route</translation>
    </message>
    <message>
        <source>Случайный выбор маршрута подхода к цели</source>
        <translation>Random choice of the approach route to the target</translation>
    </message>
    <message>
        <source>Истребители противника</source>
        <translation>Enemy fighters</translation>
    </message>
    <message>
        <source>Выбор количества истребителей противника</source>
        <translation>Choice of the number of enemy fighters</translation>
    </message>
    <message>
        <source>Автогенерация</source>
        <translation>Auto-generation</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Запустить авиасимулятор Orvak</source>
        <translation>Start the Orvak flight simulator</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>ZELK 2, версия 2.2 (21.02.2007).
Zelkwright.
Авторы:
команда ZELK - проработка карт и заданий;
команда ZELK - программирование.</source>
        <translation>ZELK 2, version 2.2 (21.02.2007).
Zelkwright.
Authors:
the ZELK team - maps and missions;
the ZELK team - programming.</translation>
    </message>
    <message>
        <source>Произвольные комментарии пользователя.
Добавляются к полному описанию задания.
Не более %1 знаков.</source>
        <translation>The pilot&apos;s own comments.
Added to the mission&apos;s full description.
At most %1 characters.</translation>
    </message>
    <message>
        <source>
  Файл orvak_zelk.rc0 не найден!
  Формирование заданий невозможно.</source>
        <translation>
  File orvak_zelk.rc0 not found!
  Missions cannot be made.</translation>
    </message>
    <message>
        <source>
  Файл orvak_zelk.rc0 поврежден!
  Формирование заданий невозможно.
  </source>
        <translation>
  File orvak_zelk.rc0 is damaged!
  Missions cannot be made.
  </translation>
    </message>
    <message>
        <source>
Создание и копирование заданий недоступны, чтобы не заменить сохраненные.</source>
        <translation>
Creating and copying missions are not available, so that saved ones are not replaced.</translation>
    </message>
    <message>
        <source>Авиасимулятор не найден: нет файла
%1</source>
        <translation>Flight simulator not found: no file
%1</translation>
    </message>
    <message>
        <source>Не удаётся запустить авиасимулятор
%1</source>
        <translation>Cannot start the flight simulator
%1</translation>
    </message>
    <message>
        <source>В файлах данных нет ни одной карты с целями.</source>
        <translation>The data files hold no map with targets.</translation>
    </message>
    <message>
        <source>Не удалось удалить файлы:
%1</source>
        <translation>Could not delete the files:
%1</translation>
    </message>
    <message>
        <source>Номер %1 уже занят другим файлом в папке заданий.
Задание сохранено в файле %2.</source>
        <translation>Number %1 is already taken by another file in the mission folder.
The mission was saved to file %2.</translation>
    </message>
    <message>
        <source>Запрос</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Не сохранены задания:
</source>
        <translation>Missions not saved:
</translation>
    </message>
    <message>
        <source>Варианты задания</source>
        <translation>Mission variants</translation>
    </message>
    <message>
        <source>Сохранения задания из журнала вариантов, новые первыми</source>
        <translation>Saves of the mission from the journal of variants, newest first</translation>
    </message>
    <message>
        <source>Восстановить</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Вернуть заданию выбранный вариант: его следующее сохранение запишет этот вариант заново</source>
        <translation>Give the mission the selected variant back: its next save writes this variant again</translation>
    </message>
    <message>
        <source>Случайно</source>
        <translation>Surprise</translation>
    </message>
    <message>
        <source>Случайные условия задания из того, что есть в данных (Ctrl+R)</source>
        <translation>Random mission conditions from what the data offer (Ctrl+R)</translation>
    </message>
    <message>
        <source>Сохранить все</source>
        <translation>Save all</translation>
    </message>
    <message>
        <source>создать задание</source>
        <translation>create a mission</translation>
    </message>
    <message>
        <source>копировать задание</source>
        <translation>copy the mission</translation>
    </message>
    <message>
        <source>сохранить задание</source>
        <translation>save the mission</translation>
    </message>
    <message>
        <source>сохранить все несохраненные задания</source>
        <translation>save all unsaved missions</translation>
    </message>
    <message>
        <source>удалить отмеченные задания (в списке заданий)</source>
        <translation>delete the marked missions (in the mission list)</translation>
    </message>
    <message>
        <source>случайные условия задания</source>
        <translation>random mission conditions</translation>
    </message>
    <message>
        <source>снимок цели или схема маршрута</source>
        <translation>target photo or route drawing</translation>
    </message>
    <message>
        <source>запустить авиасимулятор</source>
        <translation>start the flight simulator</translation>
    </message>
    <message>
        <source>проверка установки</source>
        <translation>set-up check</translation>
    </message>
    <message>
        <source>эта справка</source>
        <translation>this help</translation>
    </message>
    <message>
        <source>ZELK готовит учебные задания на штурмовку для авиасимулятора ORVAK. Выберите условия вылета и сохраните задание: оно появится среди одиночных заданий авиасимулятора. В режиме автогенерации (вкладка «Дополнительно») задание записывается заново после каждого полета.

Клавиши:</source>
        <translation>ZELK prepares ground-attack training missions for the ORVAK flight simulator. Choose the conditions of the sortie and save the mission: it appears among the simulator&apos;s single missions. In auto-generation mode (the Extra page) the mission is written anew after each flight.

Keys:</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Чтение списка заданий...</source>
        <translation>Reading the mission list...</translation>
    </message>
    <message>
        <source>Чтение заданий: %1 из %2</source>
        <translation>Reading missions: %1 of %2</translation>
    </message>
    <message>
        <source>Ввод высоты полета.
Допустимы значения от %1 до %2 м.</source>
        <translation>Flight altitude.
Values from %1 to %2 m.</translation>
    </message>
    <message>
        <source>Карточка (Ctrl+P)</source>
        <translation>Kneeboard card (Ctrl+P)</translation>
    </message>
    <message>
        <source>Сохранить как шаблон...</source>
        <translation>Save as template...</translation>
    </message>
    <message>
        <source>Создать из шаблона...</source>
        <translation>Create from template...</translation>
    </message>
    <message>
        <source>Задание еще не записано: сохраните его (Ctrl+S), и карточка покажет то, что полетит.</source>
        <translation>The mission is not written yet: save it (Ctrl+S) and the card will show what will be flown.</translation>
    </message>
    <message>
        <source>Изменения задания не сохранены: карточка покажет записанный вариант.</source>
        <translation>The changes to the mission are not saved: the card shows the variant written.</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Шаблоны негде хранить: папка %1 закрыта для записи.</source>
        <translation>Nowhere to keep templates: folder %1 is not writable.</translation>
    </message>
    <message>
        <source>Шаблон «%1» уже есть. Заменить его?</source>
        <translation>Template «%1» already exists. Replace it?</translation>
    </message>
    <message>
        <source>Шаблонов пока нет: «Сохранить как шаблон» сохраняет условия показанного задания.</source>
        <translation>No templates yet: «Save as template» keeps the conditions of the mission shown.</translation>
    </message>
    <message>
        <source>Шаблона «%1» нет.</source>
        <translation>There is no template «%1».</translation>
    </message>
    <message>
        <source>Не всё из шаблона «%1» предлагают данные:</source>
        <translation>Not everything of template «%1» is offered by the data:</translation>
    </message>
    <message>
        <source>Симулятор не покажет: %1</source>
        <translation>The simulator cannot show: %1</translation>
    </message>
    <message>
        <source>Этих знаков нет в кодировке Windows-1251, которой пишет симулятор: при сохранении они станут знаками «?».
%1</source>
        <translation>These characters are not in Windows-1251, the simulator&apos;s code page: a save writes them as “?”.
%1</translation>
    </message>
    <message>
        <source>  и ещё %1</source>
        <translation>  and %1 more</translation>
    </message>
    <message>
        <source>включить или выключить автогенерацию</source>
        <translation>switch auto-generation on or off</translation>
    </message>
    <message>
        <source>карточка задания</source>
        <translation>the mission&apos;s kneeboard card</translation>
    </message>
    <message>
        <source>лётная книжка</source>
        <translation>the logbook</translation>
    </message>
</context>
</TS>
