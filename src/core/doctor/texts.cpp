#include <algorithm>

#include "doctor/doctor.h"
#include "doctor/texts.h"
#include "text/tr.h"

namespace zelk {

namespace doctortext {

namespace {

struct TText {
    T Id;
    const char* Ru;
};

const TText kTexts[] = {
    {T::DataRc0Missing, ZELK_TR_NOOP("doctor", "Основной файл данных %1 не найден: задания создавать невозможно.")},
    {T::DataRc0MissingFix,
     ZELK_TR_NOOP("doctor",
                  "Положите файлы данных orvak_zelk.rc0…rc9 в папку %1, из которой программа их читает "
                  "(это папка программы; в zelk-cli её задаёт параметр --data).")},
    {T::DataRc0Broken, ZELK_TR_NOOP("doctor", "Основной файл данных повреждён, задания создавать невозможно. %1")},
    {T::DataBrokenFix,
     ZELK_TR_NOOP("doctor",
                  "Замените файл исправной копией из поставки ZELK; если он ссылается на файл данных, "
                  "которого нет, положите тот рядом. Все ошибки файла покажет команда zelk-pack check %1.")},
    {T::DataLoaded, ZELK_TR_NOOP("doctor", "Загружены файлы данных %1: карт %2, целей %3, самолётов %4.")},
    {T::DataLeftOut, ZELK_TR_NOOP("doctor", "%1")},
    {T::DataTargetsInLeftOut,
     ZELK_TR_NOOP("doctor",
                  "Цели %1 берут картинку и блоки объектов из пропущенного файла %2; задания для них "
                  "пишутся, но файл повреждён.")},
    {T::DataTargetsInLeftOutFix, ZELK_TR_NOOP("doctor", "Замените файл %1 исправной копией.")},
    {T::DataNoTargets,
     ZELK_TR_NOOP("doctor", "В файлах данных нет ни одной карты с целями: задания создавать невозможно.")},
    {T::DataNoTargetsFix, ZELK_TR_NOOP("doctor", "Замените файлы данных исправными копиями из поставки ZELK.")},
    {T::DataTargetsInAbsent,
     ZELK_TR_NOOP("doctor",
                  "Файла данных %1 нет, а цели %2 берут из него картинку и блоки объектов: задания на "
                  "них не сохранятся.")},
    {T::DataMissionsOnAbsentMap,
     ZELK_TR_NOOP("doctor",
                  "Задания %1 летят на карте «%2», которой нет ни в одном файле данных; её файл %3 "
                  "отсутствует. Эти задания нельзя изменить и сохранить заново, и автогенерация не "
                  "перепишет их после полёта.")},
    {T::DataAbsentFix, ZELK_TR_NOOP("doctor", "Верните %1 из поставки ZELK в папку %2 и запустите программу заново.")},

    {T::SimRootMissing, ZELK_TR_NOOP("doctor", "Папка симулятора %1 не найдена.")},
    {T::SimRootMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Установите ZELK в подпапку папки симулятора (например, <симулятор>\\ZELK\\) или укажите "
                  "папку симулятора параметром --root.")},
    {T::SimExeOk, ZELK_TR_NOOP("doctor", "Программа симулятора %1 на месте.")},
    {T::SimExeMissing, ZELK_TR_NOOP("doctor", "Программа симулятора %1 не найдена: кнопка «Пуск» не сработает.")},
    {T::SimExeMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Проверьте, что это папка симулятора: в ней должен лежать orvaksim.exe. ZELK ставится в "
                  "её подпапку; другую папку можно указать параметром --root.")},
    {T::SimConfMissing,
     ZELK_TR_NOOP("doctor",
                  "Файл настроек симулятора %1 не найден: неизвестно, где симулятор ведёт журнал событий, "
                  "и автогенерация не сработает.")},
    {T::SimConfMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Запустите симулятор один раз, чтобы он создал conf.ini, затем добавьте в раздел [game] "
                  "строку eventlog=eventlog.lst.")},
    {T::SimConfUnreadable,
     ZELK_TR_NOOP("doctor",
                  "Файл настроек симулятора %1 не читается (%2): автогенерация не узнает, где журнал "
                  "событий.")},
    {T::SimConfUnreadableFix,
     ZELK_TR_NOOP("doctor", "Дайте права на чтение файла %1 или замените его обычным файлом.")},
    {T::SimLogUnset,
     ZELK_TR_NOOP("doctor",
                  "В разделе [game] файла %1 не задан ключ eventlog: симулятор не ведёт журнал событий, и "
                  "автогенерация не сработает.")},
    {T::SimLogUnsetFix, ZELK_TR_NOOP("doctor",
                                     "Добавьте в раздел [game] файла %1 строку eventlog=eventlog.lst (и, по желанию, "
                                     "eventlogkeep=1), затем перезапустите симулятор.")},
    {T::SimLogSet, ZELK_TR_NOOP("doctor", "Файл настроек %1 прочитан, журнал событий задан: eventlog=%2.")},
    {T::SimLogFolderMissing,
     ZELK_TR_NOOP("doctor",
                  "Папки %1, в которой должен лежать журнал событий, нет: симулятор не сможет его "
                  "записать, и автогенерация не сработает.")},
    {T::SimLogFolderMissingFix, ZELK_TR_NOOP("doctor",
                                             "Создайте папку %1 или укажите в ключе eventlog файла conf.ini имя в "
                                             "существующей папке (например, eventlog=eventlog.lst).")},
    {T::SimKeepOn,
     ZELK_TR_NOOP("doctor",
                  "eventlogkeep=1: симулятор дописывает журнал от полёта к полёту; автогенерация учитывает только "
                  "строки, добавленные после её включения.")},
    {T::SimKeepOff, ZELK_TR_NOOP("doctor",
                                 "eventlogkeep=0 (или ключа нет): симулятор начинает журнал заново при каждом запуске; "
                                 "автогенерация читает его с начала.")},

    {T::MisMissing, ZELK_TR_NOOP("doctor", "Папки заданий %1 ещё нет; программа создаст её при запуске.")},
    {T::MisMissingBlocked,
     ZELK_TR_NOOP("doctor", "Папки заданий %1 нет, и создать её невозможно: папка %2 закрыта для записи.")},
    {T::MisMissingBlockedFix, ZELK_TR_NOOP("doctor", "Создайте папку %1 или разрешите запись в папку %2.")},
    {T::MisNotFolder, ZELK_TR_NOOP("doctor", "На месте папки заданий %1 лежит файл: задания некуда сохранять.")},
    {T::MisNotFolderFix, ZELK_TR_NOOP("doctor", "Переименуйте или удалите файл %1; программа создаст папку сама.")},
    {T::MisUnlistable,
     ZELK_TR_NOOP("doctor", "Папку заданий %1 невозможно просмотреть (%2): готовые задания не будут видны.")},
    {T::MisUnlistableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение и просмотр папки %1.")},
    {T::MisReadOnly, ZELK_TR_NOOP("doctor", "Папка заданий %1 закрыта для записи: задания не сохранятся.")},
    {T::MisReadOnlyFix,
     ZELK_TR_NOOP("doctor",
                  "Снимите с папки %1 атрибут «Только чтение» (в Linux: chmod u+w) или дайте права на "
                  "запись.")},
    {T::MisWritable, ZELK_TR_NOOP("doctor", "Папка заданий %1 на месте, просматривается, запись в неё разрешена.")},
    {T::MisSpace, ZELK_TR_NOOP("doctor", "Свободно на диске: %1.")},
    {T::MisSpaceLow, ZELK_TR_NOOP("doctor", "На диске папки заданий свободно всего %1: задания могут не сохраниться.")},
    {T::MisSpaceFix, ZELK_TR_NOOP("doctor", "Освободите место на диске.")},
    {T::MisNumbers, ZELK_TR_NOOP("doctor", "Заданий в папке: %1; наибольший номер %2, до предела %4 осталось %3.")},
    {T::MisNumbersEmpty, ZELK_TR_NOOP("doctor", "Заданий в папке пока нет; номера начнутся с 1.")},
    {T::MisNumbersLow, ZELK_TR_NOOP("doctor", "Наибольший номер задания %1: до предела %3 осталось всего %2.")},
    {T::MisNumbersFull, ZELK_TR_NOOP("doctor", "Наибольший номер задания %1: новые задания создавать невозможно.")},
    {T::MisNumbersFix, ZELK_TR_NOOP("doctor",
                                    "Удалите ненужные задания с самыми большими номерами: новые получают номер после "
                                    "наибольшего.")},
    {T::MisSkipped, ZELK_TR_NOOP("doctor", "Файл %1 пропускается при чтении папки: %2.")},
    {T::MisSkippedMore, ZELK_TR_NOOP("doctor", "И ещё пропускаемых файлов: %1.")},
    {T::SkipReadOnly, ZELK_TR_NOOP("doctor", "он только для чтения")},
    {T::SkipReadOnlyFix,
     ZELK_TR_NOOP("doctor", "Если это задание ZELK, снимите с файла атрибут «Только чтение» (в Linux: chmod u+w).")},
    {T::SkipNotFile, ZELK_TR_NOOP("doctor", "это не обычный файл (папка, ссылка или устройство)")},
    {T::SkipNotFileFix, ZELK_TR_NOOP("doctor", "Уберите его из папки заданий.")},
    {T::SkipNoNumber, ZELK_TR_NOOP("doctor", "в имени нет номера задания от %2 до %3 (zelkNNNN.mis)")},
    {T::SkipNoNumberFix, ZELK_TR_NOOP("doctor", "Переименуйте файл или уберите его из папки заданий.")},
    {T::SkipUnreadable, ZELK_TR_NOOP("doctor", "он не читается")},
    {T::SkipUnreadableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение файла.")},
    {T::SkipSameNumber, ZELK_TR_NOOP("doctor", "это тот же номер, что и у файла %1, в другом написании")},
    {T::SkipSameNumberFix, ZELK_TR_NOOP("doctor", "Уберите лишний файл.")},
    {T::MisNoDescription, ZELK_TR_NOOP("doctor",
                                       "У задания %1 нет файла описания %2: в списке оно будет под именем файла, без "
                                       "описания.")},
    {T::MisNoDescriptionFix, ZELK_TR_NOOP("doctor", "Сохраните задание заново в программе.")},

    {T::LogMissing, ZELK_TR_NOOP("doctor", "Журнала событий %1 пока нет; симулятор создаст его при первом полёте.")},
    {T::LogMissingFix,
     ZELK_TR_NOOP("doctor",
                  "Выполните полёт в симуляторе; если журнал не появится, проверьте ключ eventlog в conf.ini.")},
    {T::LogNotFile,
     ZELK_TR_NOOP("doctor", "На месте журнала событий %1 лежит не файл: симулятор не сможет вести журнал.")},
    {T::LogNotFileFix, ZELK_TR_NOOP("doctor", "Уберите %1 или укажите в ключе eventlog файла conf.ini другое имя.")},
    {T::LogUnreadable,
     ZELK_TR_NOOP("doctor", "Журнал событий %1 не открывается для чтения (%2): автогенерация не включится.")},
    {T::LogUnreadableFix, ZELK_TR_NOOP("doctor", "Дайте права на чтение файла %1.")},
    {T::LogInfo, ZELK_TR_NOOP("doctor", "Журнал событий %1: %2, изменён %3.")},
    {T::LogFlights,
     ZELK_TR_NOOP("doctor", "В журнале есть полёты заданий ZELK: начато %1, завершено %2; последнее задание %3.")},
    {T::LogFlying, ZELK_TR_NOOP("doctor",
                                "В журнале есть полёты заданий ZELK: начато %1, завершено %2; задание %3 ещё в полёте "
                                "(или полёт прерван).")},
    {T::LogNoFlights, ZELK_TR_NOOP("doctor", "В журнале пока нет полётов заданий ZELK.")},

    {T::SizeBytes, ZELK_TR_NOOP("doctor", "%1 байт")},
    {T::SizeKiB, ZELK_TR_NOOP("doctor", "%1 КБ")},
    {T::SizeMiB, ZELK_TR_NOOP("doctor", "%1 МБ")},
    {T::SizeGiB, ZELK_TR_NOOP("doctor", "%1 ГБ")},
    {T::None, ZELK_TR_NOOP("doctor", "(нет)")},
};

struct TWordText {
    TDoctorWord Id;
    const char* Ru;
};

const TWordText kWords[] = {
    {TDoctorWord::Title, ZELK_TR_NOOP("doctor", "Проверка установки ZELK")},
    {TDoctorWord::FixLabel, ZELK_TR_NOOP("doctor", "Что сделать: ")},
    {TDoctorWord::Passed, ZELK_TR_NOOP("doctor", "Итог: всё, что нужно для работы, в порядке.")},
    {TDoctorWord::Failed,
     ZELK_TR_NOOP("doctor", "Итог: найдено ошибок: %1. Исправьте их, как сказано в пунктах «Что сделать».")},
    {TDoctorWord::WarningsCount, ZELK_TR_NOOP("doctor", " Предупреждений: %1.")},
    {TDoctorWord::OfferQuestion,
     ZELK_TR_NOOP("doctor",
                  "Журнал событий симулятора не настроен: автогенерация не узнает об окончании "
                  "полётов.\nПоказать проверку установки?")},
    {TDoctorWord::Recheck, ZELK_TR_NOOP("doctor", "Проверить снова")},
    {TDoctorWord::Close, ZELK_TR_NOOP("doctor", "Закрыть")},
    {TDoctorWord::ButtonCaption, ZELK_TR_NOOP("doctor", "Проверка установки")},
    {TDoctorWord::ButtonHint, ZELK_TR_NOOP("doctor", "Проверить файлы данных, папки и настройки симулятора")},
};

const char* const kAreaNames[] = {ZELK_TR_NOOP("doctor", "Файлы данных"), ZELK_TR_NOOP("doctor", "Симулятор"),
                                  ZELK_TR_NOOP("doctor", "Папка заданий"), ZELK_TR_NOOP("doctor", "Журнал событий")};
const char* const kStatusNames[] = {ZELK_TR_NOOP("doctor", "ок"), ZELK_TR_NOOP("doctor", "внимание"),
                                    ZELK_TR_NOOP("doctor", "ОШИБКА")};

}  // namespace

std::string Tx(T id, std::initializer_list<std::string_view> args) {
    for (const auto& t : kTexts)
        if (t.Id == id) return Fill(Tr("doctor", t.Ru), args);
    return {};
}

}  // namespace doctortext

using namespace doctortext;

bool DoctorPassed(const std::vector<TDoctorItem>& items) {
    return std::none_of(items.begin(), items.end(),
                        [](const TDoctorItem& i) { return i.Status == TDoctorStatus::Fault; });
}

std::string DoctorWord(TDoctorWord word, const std::string& arg) {
    for (const auto& w : kWords)
        if (w.Id == word) return Fill(Tr("doctor", w.Ru), {arg});
    return {};
}

std::string DoctorAreaName(TDoctorArea area) { return Tr("doctor", kAreaNames[static_cast<int>(area)]); }
std::string DoctorStatusName(TDoctorStatus status) { return Tr("doctor", kStatusNames[static_cast<int>(status)]); }

const char* DoctorAreaKey(TDoctorArea area) {
    static const char* const keys[] = {"data", "simulator", "missions", "event_log"};
    return keys[static_cast<int>(area)];
}

const char* DoctorStatusKey(TDoctorStatus status) {
    static const char* const keys[] = {"ok", "warning", "fault"};
    return keys[static_cast<int>(status)];
}

std::string DoctorReportText(const std::vector<TDoctorItem>& items) {
    std::string text = DoctorWord(TDoctorWord::Title) + "\n";
    int faults = 0, warnings = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TDoctorItem& item = items[i];
        if (i == 0 || items[i - 1].Area != item.Area) text += "\n" + DoctorAreaName(item.Area) + "\n";
        faults += item.Status == TDoctorStatus::Fault;
        warnings += item.Status == TDoctorStatus::Warning;
        text += "  [" + DoctorStatusName(item.Status) + "] " + item.What + "\n";
        if (!item.Fix.empty()) text += "      " + DoctorWord(TDoctorWord::FixLabel) + item.Fix + "\n";
    }
    text += "\n";
    text += faults ? DoctorWord(TDoctorWord::Failed, std::to_string(faults)) : DoctorWord(TDoctorWord::Passed);
    if (warnings) text += DoctorWord(TDoctorWord::WarningsCount, std::to_string(warnings));
    return text + "\n";
}

}  // namespace zelk
