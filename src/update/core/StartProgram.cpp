#include "StartProgram.h"
#include <QDir>

TResult Start_Program(IProcess_Launcher& launcher, IClock& clock, const QString& NomeSW, bool tipo, TProgram_End* end)
{
    QString why;
    const qint64 handle = launcher.Start(NomeSW, !tipo, why);
    if (handle == 0)
        return TResult::Text_Error(1038, QDir::toNativeSeparators(NomeSW));
    TProgram_End result;
    const qint64 started = clock.Tick_Count_Ms();
    for (;;) {
        result.Exit_Code = launcher.Exit_Code(handle);
        if (result.Exit_Code != IProcess_Launcher::Still_Active) {
            result.Ended = true;
            break;
        }
        if (clock.Tick_Count_Ms() - started >= Start_Program_Limit_Ms)
            break;
        clock.Sleep_Ms(Start_Program_Poll_Ms);
    }
    launcher.Release(handle);
    if (end)
        *end = result;
    return TResult::Success();
}
