#include "core/check/login_trial.h"

#include "core/check/pop3_check_client.h"
#include "core/check/program_ending.h"
#include "core/pop3/pop3_session.h"

namespace pelnor {
namespace {

TrialOutcome OutcomeOf(ConnectFailure failure) {
  switch (failure) {
    case ConnectFailure::kCertificate: return TrialOutcome::kCertificateRefused;
    case ConnectFailure::kNoStartTls: return TrialOutcome::kNoStartTls;
    default: return TrialOutcome::kConnectFailed;
  }
}

TrialOutcome Trial(Pop3Session& pop, std::string& detail) {
  pop.Connect();
  if (pop.Failed()) {
    detail = pop.ConnectError().empty() ? pop.ReplyText() : pop.ConnectError();
    return pop.LastConnectFailure() == ConnectFailure::kNone
               ? TrialOutcome::kConnectFailed  // a greeting of -ERR
               : OutcomeOf(pop.LastConnectFailure());
  }
  if (!pop.Login()) {
    detail = pop.ReplyText();
    return TrialOutcome::kLoginRefused;
  }
  pop.Quit();
  return TrialOutcome::kLoggedIn;
}

}  // namespace

LoginTrial TryLogin(const ServerAddress& server, const std::string& pinnedCertificate,
                    const std::string& user, const std::string& password,
                    const std::function<void()>& pump) {
  Pop3Session pop;
  AimSession(pop, server, pinnedCertificate);
  pop.UserId = user;
  pop.Passwd = password;
  pop.OnProcessMessages = pump;
  LoginTrial trial;
  try {
    trial.Outcome = Trial(pop, trial.Detail);
  } catch (const EProgramEnding&) {
    throw;
  } catch (const ESocketError& e) {
    // The server hung up, stayed silent or crawled after the greeting.
    trial.Outcome = TrialOutcome::kConnectFailed;
    trial.Detail = e.what();
  }
  trial.Certificate = pop.Certificate();
  return trial;
}

}  // namespace pelnor
